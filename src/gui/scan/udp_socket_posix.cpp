#include "gui/scan/udp_socket.h"

#include "gui/app/posix_net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zek {

using posix::ipv4;
using posix::wouldBlock;

UdpSocket::~UdpSocket() { close(); }

bool UdpSocket::create() {
    close();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    m_lastError = m_fd < 0 ? errno : 0;
    return m_fd >= 0;
}

bool UdpSocket::bind(std::uint32_t address) {
    const sockaddr_in sa = ipv4(address, 0);
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0)
        return true;
    m_lastError = errno;
    return false;
}

bool UdpSocket::setBroadcast(bool on) {
    const int value = on ? 1 : 0;
    if (::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) == 0)
        return true;
    m_lastError = errno;
    return false;
}

int UdpSocket::requestReceiveBuffer(int bytes) {
    if (::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0) {
        m_lastError = errno;
        return 0;
    }
    int granted = 0;
    socklen_t size = sizeof granted;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &granted, &size) != 0) {
        m_lastError = errno;
        return 0;
    }
    return granted;
}

void UdpSocket::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::uint16_t UdpSocket::localPort() const {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &size) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

UdpSocket::Result UdpSocket::sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address,
                                    std::uint16_t port) {
    const sockaddr_in sa = ipv4(address, port);
    const ssize_t sent = ::sendto(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (sent >= 0)
        return Result::Done;
    m_lastError = errno;
    return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
}

UdpSocket::Result UdpSocket::receive(std::span<std::uint8_t> buffer, std::size_t& received,
                                     std::uint16_t& senderPort) {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    const ssize_t n = ::recvfrom(m_fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&sa), &size);
    if (n < 0) {
        m_lastError = errno;
        return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
    }
    received = std::size_t(n);
    senderPort = ntohs(sa.sin_port);
    return Result::Done;
}

std::string UdpSocket::reasonText(int error) { return std::strerror(error); }

int UdpSocket::notOpenError() { return EBADF; }

} // namespace zek
