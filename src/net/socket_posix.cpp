// The POSIX side of the socket seam: errno numbers, BSD sockets and poll.
#include "net/readiness.h"
#include "net/tcp_socket.h"
#include "net/udp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zek::net {

namespace {

sockaddr_in ipv4(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address);
    return sa;
}

int fd(SocketHandle handle) {
    return int(handle);
}

// Errors of a receive that mean the connection is gone rather than one failed read.
bool connectionLost(int error) {
    return error == ECONNRESET || error == ECONNABORTED || error == ETIMEDOUT || error == EPIPE ||
           error == EHOSTUNREACH || error == ENETUNREACH;
}

void closeHandle(SocketHandle& handle) {
    if (handle != kNoSocket)
        ::close(fd(handle));
    handle = kNoSocket;
}

} // namespace

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

int notOpenError() {
    return EBADF;
}

int noBufferError() {
    return ENOBUFS;
}

std::string reasonText(int error) {
    return std::strerror(error);
}

std::string errorText(int error) {
    return reasonText(error) + " (errno:" + std::to_string(error) + ")";
}

bool UdpSocket::failed() {
    m_lastError = isOpen() ? errno : notOpenError();
    return false;
}

bool UdpSocket::open() {
    close();
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) {
        m_lastError = errno;
        return false;
    }
    m_handle = s;
    m_lastError = 0;
    return true;
}

bool UdpSocket::bind(std::uint32_t address) {
    const sockaddr_in sa = ipv4(address, 0);
    return (isOpen() && ::bind(fd(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) ||
           failed();
}

bool UdpSocket::setBroadcast(bool on) {
    const int value = on ? 1 : 0;
    return (isOpen() && ::setsockopt(fd(m_handle), SOL_SOCKET, SO_BROADCAST, &value, sizeof value) == 0) ||
           failed();
}

int UdpSocket::requestReceiveBuffer(int bytes) {
    int granted = 0;
    socklen_t size = sizeof granted;
    if (!isOpen() || ::setsockopt(fd(m_handle), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0 ||
        ::getsockopt(fd(m_handle), SOL_SOCKET, SO_RCVBUF, &granted, &size) != 0) {
        failed();
        return 0;
    }
    return granted;
}

UdpSocket::Result UdpSocket::sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address,
                                    std::uint16_t port) {
    const sockaddr_in sa = ipv4(address, port);
    if (isOpen() && ::sendto(fd(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL,
                             reinterpret_cast<const sockaddr*>(&sa), sizeof sa) >= 0)
        return Result::Done;
    failed();
    return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
}

UdpSocket::Result UdpSocket::receive(std::span<std::uint8_t> buffer, std::size_t& received,
                                     std::uint16_t& senderPort) {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    const ssize_t n = isOpen() ? ::recvfrom(fd(m_handle), buffer.data(), buffer.size(), 0,
                                            reinterpret_cast<sockaddr*>(&sa), &size)
                               : -1;
    if (n < 0) {
        failed();
        return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
    }
    received = std::size_t(n);
    senderPort = ntohs(sa.sin_port);
    return Result::Done;
}

void UdpSocket::close() {
    closeHandle(m_handle);
}

std::uint16_t UdpSocket::localPort() const {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    if (!isOpen() || ::getsockname(fd(m_handle), reinterpret_cast<sockaddr*>(&sa), &size) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

bool TcpSocket::failed() {
    m_lastError = errno;
    return false;
}

bool TcpSocket::notOpen() {
    if (isOpen())
        return false;
    m_lastError = notOpenError();
    return true;
}

bool TcpSocket::open() {
    close();
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0)
        return failed();
    m_handle = s;
    m_lastError = 0;
    return true;
}

bool TcpSocket::bind(std::uint32_t localAddress) {
    if (notOpen())
        return false;
    const sockaddr_in sa = ipv4(localAddress, 0);
    return ::bind(fd(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 || failed();
}

bool TcpSocket::startConnect(std::uint32_t address, std::uint16_t port) {
    if (notOpen())
        return false;
    const sockaddr_in sa = ipv4(address, port);
    return ::connect(fd(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 ||
           errno == EINPROGRESS || wouldBlock(errno) || failed();
}

int TcpSocket::connectError() {
    if (notOpen())
        return m_lastError;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd(m_handle), SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    m_lastError = error;
    return error;
}

TcpSocket::ReadResult TcpSocket::read(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = 0;
    if (notOpen())
        return ReadResult::Failed;
    const ssize_t n = ::recv(fd(m_handle), buffer.data(), buffer.size(), 0);
    if (n > 0) {
        received = std::size_t(n);
        return ReadResult::Data;
    }
    const int error = n == 0 ? 0 : errno;
    if (n < 0 && (wouldBlock(error) || error == EINTR))
        return ReadResult::WouldBlock;
    m_lastError = error;
    return n == 0 || connectionLost(error) ? ReadResult::Ended : ReadResult::Failed;
}

TcpSocket::SendResult TcpSocket::send(std::span<const std::uint8_t> bytes, std::size_t& taken) {
    taken = 0;
    if (notOpen())
        return SendResult::Failed;
    for (;;) {
        const ssize_t n = ::send(fd(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            taken = std::size_t(n);
            return SendResult::Done;
        }
        if (errno != EINTR)
            break;
    }
    m_lastError = errno;
    return wouldBlock(m_lastError) ? SendResult::WouldBlock : SendResult::Failed;
}

void TcpSocket::shutdownBoth() {
    if (isOpen())
        ::shutdown(fd(m_handle), SHUT_RDWR);
}

void TcpSocket::close() {
    closeHandle(m_handle);
}

int waitReady(std::span<Watch> watches, int timeoutMs) {
    std::vector<pollfd> fds;
    fds.reserve(watches.size());
    for (Watch& w : watches) {
        w.readable = w.writable = false;
        const short events = short((w.wantRead ? POLLIN : 0) | (w.wantWrite ? POLLOUT : 0));
        fds.push_back({fd(w.handle), events, 0});
    }
    const int n = ::poll(fds.data(), nfds_t(fds.size()), timeoutMs < 0 ? 0 : timeoutMs);
    if (n < 0)
        return errno == EINTR ? 0 : -1;
    for (std::size_t i = 0; i < watches.size(); ++i) {
        const short got = fds[i].revents;
        const bool broken = got & (POLLERR | POLLHUP | POLLNVAL);
        watches[i].readable = (got & POLLIN) || (broken && watches[i].wantRead);
        watches[i].writable = (got & POLLOUT) || (broken && watches[i].wantWrite);
    }
    return n;
}

} // namespace zek::net
