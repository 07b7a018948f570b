#pragma once

#include "core/app/control_inventory.h"

namespace zek {

// The clock's small modal dialogs, declared as data like the main dialog; their controls
// are named in zek::dlg (core/app/control_ids.h).
const DialogTemplate& dstSettingsDialog();    // DST Settings, 8000
const DialogTemplate& askDstDialog();         // Ask DST Settings, 8350
const DialogTemplate& askInvalidHourDialog(); // Ask Invalid Hour, 8400
const DialogTemplate& dateDialog();           // Date, 8050

} // namespace zek
