// What every platform's stream socket shares.
#include "net/tcp_socket.h"
#include "net/readiness.h"

namespace zek::net {

bool connectEndedAtOnce(const StreamSocket& socket) {
    Watch watch{.handle = socket.handle(), .wantWrite = true};
    return socket.handle() != kNoSocket && waitReady({&watch, 1}, 0) > 0 && watch.writable;
}

} // namespace zek::net
