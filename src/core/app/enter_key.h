#pragma once

#include "core/app/control_inventory.h"

namespace zek {

// The button Enter presses while the control `focusedId` has the focus, as in a dialog:
// a focused push button itself; otherwise the default push button of the group box the
// control lies in, or the dialog's first default push button when its group has none.
// 0 when the dialog has no default push button.
int enterKeyButton(const DialogTemplate& dialog, int focusedId);

} // namespace zek
