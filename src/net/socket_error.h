#pragma once

#include <cstdint>
#include <string>

namespace zek::net {

// A socket as the platform numbers it; kNoSocket when none is open.
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// The platform's error number that means "the operation would block".
bool wouldBlock(int error);
// The error number an operation on a socket that is not open gets.
int notOpenError();
// The error number of a send refused for want of buffer space.
int noBufferError();
// A readable sentence for a platform error number.
std::string reasonText(int error);
// The sentence with the number as the platform counts it: "Connection refused (errno:111)".
std::string errorText(int error);

} // namespace zek::net
