#pragma once

namespace zek {

// The TCP session's states; every part that enables controls reads them.
enum class SessionState { Idle, LookingUp, Connecting, Connected };

} // namespace zek
