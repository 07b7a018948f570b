#pragma once

#include "net/socket_error.h"

#include <span>

namespace zek::net {

// One socket to watch and what was found ready.
struct Watch {
    SocketHandle handle = kNoSocket;
    bool wantRead = false;
    bool wantWrite = false;
    bool readable = false;
    bool writable = false; // also set when the socket failed or the peer hung up
};

// Waits at most `timeoutMs` until one of the sockets is ready; returns how many are
// (0 when the time ran out, -1 on an error other than an interruption).
int waitReady(std::span<Watch> watches, int timeoutMs);

} // namespace zek::net
