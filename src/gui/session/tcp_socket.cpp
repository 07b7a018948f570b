#include "gui/session/tcp_transport.h"

#include "gui/app/socket_notifier.h"
#include "net/readiness.h"
#include "net/tcp_socket.h"

#include <QTimer>

#include <vector>

namespace zek {

namespace {

// The platform's stream socket, driven by socket notifiers.
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
    int notOpenError() const override { return net::notOpenError(); }

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
    net::TcpSocket m_socket;
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
    if (m_socket.isOpen())
        return false;
    m_lastError = notOpenError();
    return true;
}

bool TcpSocket::open() {
    close();
    const bool opened = m_socket.open();
    m_lastError = m_socket.lastError();
    return opened;
}

bool TcpSocket::bind() {
    if (notOpen())
        return false;
    if (m_socket.bind(m_localAddress))
        return true;
    m_lastError = m_socket.lastError();
    return false;
}

bool TcpSocket::connectTo(std::uint32_t address, std::uint16_t port) {
    if (notOpen())
        return false;
    if (!m_socket.startConnect(address, port)) {
        m_lastError = m_socket.lastError();
        return false;
    }
    // Also a connect that completed at once reports through the event, as every other does:
    // the socket is writable then and the notifier fires on the next turn of the loop.
    m_connecting = true;
    setWriteNotifier(true);
    // Wine tells the end of a connect only to a watch set up before it ended, and the loop
    // sets its watch up later: a connect that ended at once (a refusal on loopback) is
    // picked up here, and reports on the next turn all the same.
    net::Watch watch{.handle = m_socket.handle(), .wantWrite = true};
    if (net::waitReady({&watch, 1}, 0) > 0 && watch.writable)
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation && m_connecting)
                completeConnect();
        });
    return true;
}

void TcpSocket::completeConnect() {
    m_connecting = false;
    const int error = m_socket.connectError();
    if (error == 0) {
        m_readNotifier = new QSocketNotifier(qintptr(m_socket.handle()), QSocketNotifier::Read, this);
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
    if (!m_socket.isOpen())
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
    switch (m_socket.read(buffer, received)) {
    case net::TcpSocket::ReadResult::Data:
        return ReadResult::Data;
    case net::TcpSocket::ReadResult::WouldBlock:
        return ReadResult::WouldBlock;
    case net::TcpSocket::ReadResult::Failed:
        m_lastError = m_socket.lastError();
        return ReadResult::Failed;
    case net::TcpSocket::ReadResult::Ended:
        break;
    }
    // The end of the stream: nothing more will come, so the read readiness would only
    // repeat itself until the socket is closed.
    m_ended = true;
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    postClosed(m_socket.lastError());
    return ReadResult::Ended;
}

void TcpSocket::postClosed(int error) {
    QTimer::singleShot(0, this, [this, error, generation = m_generation] {
        if (generation == m_generation && m_socket.isOpen())
            m_onEvent(Event::Closed, error);
    });
}

bool TcpSocket::write(std::span<const std::uint8_t> bytes) {
    if (notOpen())
        return false;
    if (bytes.size() > kQueueLimit - queuedBytes()) {
        m_lastError = net::noBufferError();
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
        std::size_t taken = 0;
        const auto sent = m_socket.send({m_queue.data() + m_queueSent, queuedBytes()}, taken);
        if (sent == net::TcpSocket::SendResult::Done && taken > 0) {
            m_queueSent += taken;
            continue;
        }
        if (sent != net::TcpSocket::SendResult::Failed) {
            // Keep only what still waits, so the queue holds at most its limit.
            m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(m_queueSent));
            m_queueSent = 0;
            setWriteNotifier(true);
            return true;
        }
        m_lastError = m_socket.lastError();
        break;
    }
    const bool sent = queuedBytes() == 0;
    m_queue.clear();
    m_queueSent = 0;
    setWriteNotifier(false);
    return sent;
}

void TcpSocket::setWriteNotifier(bool on) {
    if (on && !m_writeNotifier && m_socket.isOpen()) {
        m_writeNotifier = new QSocketNotifier(qintptr(m_socket.handle()), QSocketNotifier::Write, this);
        connect(m_writeNotifier, &QSocketNotifier::activated, this, &TcpSocket::writeReady);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(on);
}

void TcpSocket::shutdownBoth() {
    m_socket.shutdownBoth();
}

void TcpSocket::close() {
    dropNotifier(m_readNotifier);
    dropNotifier(m_writeNotifier);
    m_socket.close();
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
