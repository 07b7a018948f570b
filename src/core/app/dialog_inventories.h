#pragma once

#include "core/app/control_inventory.h"

namespace zek {

// The clock's small modal dialogs, declared as data like the main dialog; their controls
// are named in zek::dlg (core/app/control_ids.h).
const DialogTemplate& dstSettingsDialog();    // DST Settings, dlg::DstSettings
const DialogTemplate& askDstDialog();         // Ask DST Settings, dlg::AskDst
const DialogTemplate& askInvalidHourDialog(); // Ask Invalid Hour, dlg::AskInvalidHour
const DialogTemplate& dateDialog();           // Date, dlg::Date

} // namespace zek
