#pragma once

#include <QObject>
#include <QPointer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class QSocketNotifier;

namespace zek {

// A non-blocking IPv4 stream socket bound to one PC interface address, whose events
// reach the user-interface loop: the one place where the platform's socket calls for
// the TCP session live. Error numbers are the platform's.
//
// Events, each with an error number (0 = none):
// - Connected: the connect started by connectTo() has completed, with or without error.
// - Readable: data waits; read() it until it reports WouldBlock or Ended.
// - Writable: only with an error, when queued bytes could not be sent later.
// - Closed: the peer closed (0) or reset the connection; it follows the read that
//   found the end, as a separate event.
// The object may be closed or replaced from inside its own event: notifiers are
// disabled at once and deleted later, and events of a closed socket are dropped.
class TcpSocket : public QObject {
public:
    enum class Event { Readable = 1, Writable = 2, Connected = 16, Closed = 32 };
    using EventFn = std::function<void(Event event, int error)>;
    enum class ReadResult { Data, WouldBlock, Ended, Failed };

    // Bytes that may wait to be sent; a write beyond this is refused, so a peer that
    // never reads cannot make the queue grow without bound.
    static constexpr std::size_t kQueueLimit = 64 * 1024;

    TcpSocket(std::uint32_t localAddress, EventFn onEvent, QObject* parent = nullptr);
    ~TcpSocket() override;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Creates the descriptor; false with lastError() set.
    bool open();
    // Binds to the local address with a port the system chooses.
    bool bind();
    // Starts connecting (address: first number in bits 31-24). True while the connect is
    // under way; its completion comes as the Connected event. False when it failed at once.
    bool connectTo(std::uint32_t address, std::uint16_t port);
    // Reads what waits, at most buffer.size() bytes. Ended: the peer closed or reset the
    // connection (the Closed event follows). Failed: lastError() says why.
    ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received);
    // Takes a copy of all bytes: sends what the system takes now and the rest when the
    // socket is writable again, in order. False, with nothing taken, when the socket is
    // not open, the queue is full or the send failed.
    bool write(std::span<const std::uint8_t> bytes);
    // No further sends or receives in either direction.
    void shutdownBoth();
    void close();

    bool isOpen() const { return m_fd >= 0; }
    std::uint32_t localAddress() const { return m_localAddress; }
    std::uint16_t localPort() const;
    std::size_t queuedBytes() const { return m_queue.size() - m_queueSent; }
    int lastError() const { return m_lastError; }
    // The error number of an operation on a socket that is not open.
    static int notOpenError();

private:
    void readReady();
    void writeReady();
    void completeConnect();
    // Sends queued bytes until the system takes no more; false on a send error.
    bool flush();
    void setWriteNotifier(bool on);
    void dropNotifier(QPointer<QSocketNotifier>& notifier);
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

} // namespace zek
