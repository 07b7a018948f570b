#include "gui/session/tcp_transport.h"

#include "gui/app/posix_net.h"

#include <QTimer>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zek {

namespace {

using posix::ipv4;
using posix::wouldBlock;

// Errors of a receive that mean the connection is gone rather than one failed read.
bool connectionLost(int error) {
    return error == ECONNRESET || error == ECONNABORTED || error == ETIMEDOUT || error == EPIPE ||
           error == EHOSTUNREACH || error == ENETUNREACH;
}

// The POSIX stream socket, driven by socket notifiers.
class TcpSocket : public TcpTransport {
public:
    // Bytes that may wait to be sent; a write beyond this is refused, so a peer that
    // never reads cannot make the queue grow without bound.
    static constexpr std::size_t kQueueLimit = 64 * 1024;

    TcpSocket(std::uint32_t localAddress, EventFn onEvent, QObject* parent)
        : TcpTransport(parent), m_localAddress(localAddress), m_onEvent(std::move(onEvent)) {}
    ~TcpSocket() override { close(); }

    bool open() override;
    bool bind() override;
    bool connectTo(std::uint32_t address, std::uint16_t port) override;
    ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void shutdownBoth() override;
    void close() override;
    int lastError() const override { return m_lastError; }
    int notOpenError() const override { return EBADF; }

private:
    std::size_t queuedBytes() const { return m_queue.size() - m_queueSent; }
    bool notOpen();
    void readReady();
    void writeReady();
    void completeConnect();
    // Sends queued bytes until the system takes no more; false on a send error.
    bool flush();
    void setWriteNotifier(bool on);
    void postClosed(int error);

    std::uint32_t m_localAddress;
    EventFn m_onEvent;
    int m_fd = -1;
    int m_lastError = 0;
    // Changes with every close, so that a queued event of an earlier connection is dropped.
    unsigned m_generation = 0;
    bool m_connecting = false;
    bool m_ended = false;
    std::vector<std::uint8_t> m_queue;
    std::size_t m_queueSent = 0;
    QPointer<QSocketNotifier> m_readNotifier;
    QPointer<QSocketNotifier> m_writeNotifier;
};

bool TcpSocket::notOpen() {
    if (m_fd >= 0)
        return false;
    m_lastError = notOpenError();
    return true;
}

bool TcpSocket::open() {
    close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    m_lastError = m_fd < 0 ? errno : 0;
    return m_fd >= 0;
}

bool TcpSocket::bind() {
    if (notOpen())
        return false;
    const sockaddr_in sa = ipv4(m_localAddress, 0);
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0)
        return true;
    m_lastError = errno;
    return false;
}

bool TcpSocket::connectTo(std::uint32_t address, std::uint16_t port) {
    if (notOpen())
        return false;
    const sockaddr_in sa = ipv4(address, port);
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 && errno != EINPROGRESS &&
        !wouldBlock(errno)) {
        m_lastError = errno;
        return false;
    }
    // Also a connect that completed at once reports through the event, as every other does:
    // the socket is writable then and the notifier fires on the next turn of the loop.
    m_connecting = true;
    setWriteNotifier(true);
    return true;
}

void TcpSocket::completeConnect() {
    m_connecting = false;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    if (error == 0) {
        m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_readNotifier, &QSocketNotifier::activated, this, &TcpSocket::readReady);
    }
    setWriteNotifier(error == 0 && queuedBytes() > 0);
    m_onEvent(Event::Connected, error);
}

void TcpSocket::readReady() {
    if (m_readNotifier)
        m_onEvent(Event::Readable, 0);
}

void TcpSocket::writeReady() {
    if (m_fd < 0)
        return;
    if (m_connecting) {
        completeConnect();
        return;
    }
    if (!flush())
        m_onEvent(Event::Writable, m_lastError);
}

TcpTransport::ReadResult TcpSocket::read(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = 0;
    if (notOpen())
        return ReadResult::Failed;
    if (m_ended || buffer.empty())
        return ReadResult::WouldBlock;
    const ssize_t n = ::recv(m_fd, buffer.data(), buffer.size(), 0);
    if (n > 0) {
        received = std::size_t(n);
        return ReadResult::Data;
    }
    const int error = n == 0 ? 0 : errno;
    if (n < 0 && (wouldBlock(error) || error == EINTR))
        return ReadResult::WouldBlock;
    if (n < 0 && !connectionLost(error)) {
        m_lastError = error;
        return ReadResult::Failed;
    }
    // The end of the stream: nothing more will come, so the read readiness would only
    // repeat itself until the socket is closed.
    m_ended = true;
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    postClosed(error);
    return ReadResult::Ended;
}

void TcpSocket::postClosed(int error) {
    QTimer::singleShot(0, this, [this, error, generation = m_generation] {
        if (generation == m_generation && m_fd >= 0)
            m_onEvent(Event::Closed, error);
    });
}

bool TcpSocket::write(std::span<const std::uint8_t> bytes) {
    if (notOpen())
        return false;
    if (bytes.size() > kQueueLimit - queuedBytes()) {
        m_lastError = ENOBUFS;
        return false;
    }
    m_queue.insert(m_queue.end(), bytes.begin(), bytes.end());
    // While connecting, or behind earlier bytes that wait for write readiness, these wait too.
    if (m_connecting || queuedBytes() > bytes.size())
        return true;
    return flush();
}

bool TcpSocket::flush() {
    while (queuedBytes() > 0) {
        const ssize_t n =
            ::send(m_fd, m_queue.data() + m_queueSent, queuedBytes(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            m_queueSent += std::size_t(n);
            continue;
        }
        const int error = n == 0 ? EAGAIN : errno;
        if (error == EINTR)
            continue;
        if (wouldBlock(error)) {
            // Keep only what still waits, so the queue holds at most its limit.
            m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(m_queueSent));
            m_queueSent = 0;
            setWriteNotifier(true);
            return true;
        }
        m_lastError = error;
        break;
    }
    const bool sent = queuedBytes() == 0;
    m_queue.clear();
    m_queueSent = 0;
    setWriteNotifier(false);
    return sent;
}

void TcpSocket::setWriteNotifier(bool on) {
    if (on && !m_writeNotifier && m_fd >= 0) {
        m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
        connect(m_writeNotifier, &QSocketNotifier::activated, this, &TcpSocket::writeReady);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(on);
}

void TcpSocket::shutdownBoth() {
    if (m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
}

void TcpSocket::close() {
    posix::dropNotifier(m_readNotifier);
    posix::dropNotifier(m_writeNotifier);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    ++m_generation;
    m_connecting = false;
    m_ended = false;
    m_queue.clear();
    m_queueSent = 0;
}

} // namespace

TcpTransport::Factory platformTcpFactory() {
    return [](std::uint32_t localAddress, TcpTransport::EventFn onEvent, QObject* parent) -> TcpTransport* {
        return new TcpSocket(localAddress, std::move(onEvent), parent);
    };
}

} // namespace zek
