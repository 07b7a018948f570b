#pragma once

#include "ctl/ctl_context.h"

namespace zek::cli {

// The commands that work on many modules: one search, then up to --jobs sessions at once,
// results in search or file order. Each returns the exit code.
int cmdAudit(Context& c);
int cmdApply(Context& c);
// read, write, clock and backup with --all or --modules FILE.
int fleetRead(Context& c);
int fleetWrite(Context& c);
int fleetClock(Context& c);
int fleetBackup(Context& c);
// restore FILE: a fleet backup (a JSON array) or one module's, each to the module it names.
int fleetRestore(Context& c);

} // namespace zek::cli
