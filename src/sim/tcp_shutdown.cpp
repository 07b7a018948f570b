#include "sim/tcp_shutdown.h"

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace zek {

#ifdef Q_OS_UNIX
bool setResetOnClose(qintptr socket) {
    if (socket < 0)
        return false;
    const linger option{1, 0};
    return ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &option, sizeof option) == 0;
}

bool shutdownSending(qintptr socket) {
    return socket >= 0 && ::shutdown(static_cast<int>(socket), SHUT_WR) == 0;
}
#else
bool setResetOnClose(qintptr) {
    return false;
}

bool shutdownSending(qintptr) {
    return false;
}
#endif

} // namespace zek
