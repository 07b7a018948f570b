#include "gui/scan/udp_transport.h"

#include "gui/app/posix_net.h"

#include <cstring>
#include <unistd.h>

namespace zek {

namespace {

using posix::ipv4;
using posix::wouldBlock;

// The POSIX datagram socket, its read readiness from a socket notifier.
class UdpSocket : public QObject, public UdpTransport {
public:
    explicit UdpSocket(ReadyFn onReadable) : m_onReadable(std::move(onReadable)) {}
    ~UdpSocket() override { close(); }

    bool create() override;
    bool bind(std::uint32_t address) override;
    bool setBroadcast(bool on) override;
    int requestReceiveBuffer(int bytes) override;
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) override;
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received, std::uint16_t& senderPort) override;
    void close() override;

    bool isOpen() const override { return m_fd >= 0; }
    std::uint16_t localPort() const override { return posix::localPort(m_fd); }
    int lastError() const override { return m_lastError; }
    std::string reasonText(int error) const override { return std::strerror(error); }
    int notOpenError() const override { return EBADF; }

private:
    bool failed() {
        m_lastError = errno;
        return false;
    }

    ReadyFn m_onReadable;
    int m_fd = -1;
    int m_lastError = 0;
    QPointer<QSocketNotifier> m_notifier; // a child: deleted with the socket at the latest
};

bool UdpSocket::create() {
    close();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return failed();
    m_lastError = 0;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { m_onReadable(); });
    return true;
}

bool UdpSocket::bind(std::uint32_t address) {
    const sockaddr_in sa = ipv4(address, 0);
    return ::bind(m_fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 || failed();
}

bool UdpSocket::setBroadcast(bool on) {
    const int value = on ? 1 : 0;
    return ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) == 0 || failed();
}

int UdpSocket::requestReceiveBuffer(int bytes) {
    int granted = 0;
    socklen_t size = sizeof granted;
    if (::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0 ||
        ::getsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &granted, &size) != 0) {
        failed();
        return 0;
    }
    return granted;
}

void UdpSocket::close() {
    posix::dropNotifier(m_notifier);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

UdpTransport::Result UdpSocket::sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address,
                                       std::uint16_t port) {
    const sockaddr_in sa = ipv4(address, port);
    const ssize_t sent = ::sendto(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (sent >= 0)
        return Result::Done;
    m_lastError = errno;
    return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
}

UdpTransport::Result UdpSocket::receive(std::span<std::uint8_t> buffer, std::size_t& received,
                                        std::uint16_t& senderPort) {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    const ssize_t n =
        ::recvfrom(m_fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&sa), &size);
    if (n < 0) {
        m_lastError = errno;
        return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
    }
    received = std::size_t(n);
    senderPort = ntohs(sa.sin_port);
    return Result::Done;
}

} // namespace

UdpTransport::Factory platformUdpFactory() {
    return [](UdpTransport::ReadyFn onReadable) -> std::unique_ptr<UdpTransport> {
        return std::make_unique<UdpSocket>(std::move(onReadable));
    };
}

} // namespace zek
