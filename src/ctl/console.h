#pragma once

namespace zek::cli {

// Makes the terminal show the UTF-8 that zekctl prints, for as long as zekctl runs.
void useUtf8Console();
// Standard error is a terminal, where a progress line may rewrite itself.
bool stderrIsTerminal();

} // namespace zek::cli
