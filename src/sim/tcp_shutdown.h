#pragma once

#include <QtGlobal>

namespace zek {

// Platform socket options a simulated module uses to end a connection badly. Both
// return false where the platform lacks them.

// Lingering off with a zero time: closing the socket then sends RST instead of FIN.
bool setResetOnClose(qintptr socket);
// Shuts the sending direction down (FIN); the socket goes on receiving.
bool shutdownSending(qintptr socket);

} // namespace zek
