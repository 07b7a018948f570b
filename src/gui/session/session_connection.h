#pragma once

#include "core/session/line_splitter.h"
#include "core/session/session_state.h"
#include "net/send_queue.h"
#include "net/tcp_socket.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace zek {

class SocketWatch;

// The module a session connects to: its address (first number in bits 31-24) and port.
struct ConnectTarget {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};

// The TCP session to one module: the socket on the chosen PC interface, the four states,
// cutting the received stream into reply lines, sending command texts, the byte counters
// and every session log line. What a state entry shows in the window is applied by
// whoever listens to `stateEntered`.
class SessionConnection : public QObject {
    Q_OBJECT
public:
    using LogFn = std::function<void(const QString&)>;
    // The module to connect to when a connect starts; none when nothing is selected.
    using TargetFn = std::function<std::optional<ConnectTarget>()>;

    // One read takes at most this many bytes; a readiness notification reads until
    // nothing waits, but at most kReadsPerNotification times, so that a flooding peer
    // leaves the window its other events (the notification repeats while data waits).
    static constexpr std::size_t kReadSize = 2047;
    static constexpr int kReadsPerNotification = 64;
    // A pass also ends after kLinesPerPass lines or, looked at every kLinesPerClockLook
    // lines, kPassNs of work; the bytes of its last read that wait are taken up on the
    // next turn of the loop.
    static constexpr int kLinesPerPass = 1024;
    static constexpr int kLinesPerClockLook = 64;
    static constexpr qint64 kPassNs = 4'000'000;

    SessionConnection(LogFn log, TargetFn target, net::StreamSocketFactory socket = net::TcpSocket::factory(),
                      QObject* parent = nullptr);
    ~SessionConnection() override;

    // A new socket for the chosen PC interface; it replaces the previous one.
    void createSocket(std::uint32_t interfaceAddress);
    // The action of the Connect button in every state: connect, cancel or disconnect.
    void ToggleConnection();
    // Sends the text up to its first NUL (it carries its own CR). 0 when the socket took
    // it, -1 after a logged failure.
    int SendText(std::string_view text);
    // Into Idle: every failure path ends here.
    void GoIdle();

    SessionState state() const { return m_state; }
    std::uint32_t BytesSent() const { return m_bytesSent; }
    std::uint32_t BytesReceived() const { return m_bytesReceived; }
    // Characters of the partly received reply line.
    std::size_t pendingLineLength() const { return m_lines.length(); }

signals:
    // Each complete reply line, in arrival order: the reply parser's input.
    void lineReceived(const QByteArray& line);
    // A read completed at least one line: the read sequence takes its next step at once.
    void linesCompleted();
    // A read delivered bytes: the tree's state icon shows it.
    void rxActivity();
    // After the connection's own part of a state entry; the window's part follows.
    void stateEntered(zek::SessionState state);

private:
    void enter(SessionState state);
    void runConnect(ConnectTarget target);
    void completeConnect();
    void onReadable();
    void onWritable();
    // Reads what waits into lines; true when at least one line completed.
    bool receive();
    // One read into the read buffer; false when nothing was read.
    bool readSome();
    // The end of the stream, acted on after the read that found it.
    void closeLater(int error);
    void closeSocket();
    // Takes up the rest of the last read on the next turn of the loop.
    void resumeLater();
    void logError(const char* what, int error);

    LogFn m_log;
    TargetFn m_target;
    net::StreamSocketFactory m_factory;
    std::unique_ptr<net::StreamSocket> m_socket;
    std::uint32_t m_interfaceAddress = 0;
    SocketWatch* m_watch; // a child
    net::SendQueue m_queue;
    bool m_connecting = false;
    // The peer ended the stream: nothing more is read.
    bool m_ended = false;
    SessionState m_state = SessionState::Idle;
    LineSplitter m_lines;
    // The last read's bytes that no pass has walked yet.
    std::array<std::uint8_t, kReadSize> m_read{};
    std::size_t m_readAt = 0;
    std::size_t m_readEnd = 0;
    bool m_resumePending = false;
    std::uint32_t m_bytesSent = 0;
    std::uint32_t m_bytesReceived = 0;
    // Changes on every entry to Idle, so that a handler can tell that the session ended
    // while it ran.
    unsigned m_sessionGeneration = 0;
};

} // namespace zek
