#include "gui/session/tcp_socket.h"

#include <QSocketNotifier>
#include <QTimer>

#include "gui/app/posix_net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zek {

using posix::ipv4;
using posix::wouldBlock;

namespace {

// Errors of a receive that mean the connection is gone rather than one failed read.
bool connectionLost(int error) {
    return error == ECONNRESET || error == ECONNABORTED || error == ETIMEDOUT || error == EPIPE ||
           error == EHOSTUNREACH || error == ENETUNREACH;
}

} // namespace

TcpSocket::TcpSocket(std::uint32_t localAddress, EventFn onEvent, QObject* parent)
    : QObject(parent), m_localAddress(localAddress), m_onEvent(std::move(onEvent)) {}

TcpSocket::~TcpSocket() {
    close();
}

bool TcpSocket::open() {
    close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    m_lastError = m_fd < 0 ? errno : 0;
    return m_fd >= 0;
}

bool TcpSocket::bind() {
    if (m_fd < 0) {
        m_lastError = notOpenError();
        return false;
    }
    const sockaddr_in sa = ipv4(m_localAddress, 0);
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0)
        return true;
    m_lastError = errno;
    return false;
}

bool TcpSocket::connectTo(std::uint32_t address, std::uint16_t port) {
    if (m_fd < 0) {
        m_lastError = notOpenError();
        return false;
    }
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

TcpSocket::ReadResult TcpSocket::read(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = 0;
    if (m_fd < 0) {
        m_lastError = notOpenError();
        return ReadResult::Failed;
    }
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
    if (m_fd < 0) {
        m_lastError = notOpenError();
        return false;
    }
    if (bytes.size() > kQueueLimit - queuedBytes()) {
        m_lastError = ENOBUFS;
        return false;
    }
    m_queue.insert(m_queue.end(), bytes.begin(), bytes.end());
    if (m_connecting)
        return true;
    if (queuedBytes() > bytes.size()) {
        // Earlier bytes still wait for write readiness; these go after them.
        return true;
    }
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
        m_queue.clear();
        m_queueSent = 0;
        setWriteNotifier(false);
        return false;
    }
    m_queue.clear();
    m_queueSent = 0;
    setWriteNotifier(false);
    return true;
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

void TcpSocket::dropNotifier(QPointer<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
}

void TcpSocket::close() {
    dropNotifier(m_readNotifier);
    dropNotifier(m_writeNotifier);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    ++m_generation;
    m_connecting = false;
    m_ended = false;
    m_queue.clear();
    m_queueSent = 0;
}

std::uint16_t TcpSocket::localPort() const {
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &size) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

int TcpSocket::notOpenError() {
    return EBADF;
}

} // namespace zek
