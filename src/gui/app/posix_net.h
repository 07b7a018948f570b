#pragma once

// Helpers shared by the platform's UDP and TCP socket files (POSIX only).

#include <QPointer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>

namespace zek::posix {

// An IPv4 socket address from an address held with its first number in bits 31-24.
inline sockaddr_in ipv4(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address);
    return sa;
}

inline bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

// The port a socket is bound to; 0 when it is not open or not bound.
inline std::uint16_t localPort(int fd) {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &size) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

// A socket may be closed from within its own notification: disable now, delete later.
inline void dropNotifier(QPointer<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
}

} // namespace zek::posix
