#pragma once

#include "core/session/line_splitter.h"
#include "core/session/session_state.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>

class QWidget;

namespace zek {

class DeviceTable;
class DeviceTree;
class DialogForm;
class LanguageTexts;
class ScanEndpoint;
class SessionPanels;
class TcpSocket;
struct SessionFlags;

// The TCP session to the selected module: its four states and how they show, the
// Connect/Cancel/Disconnect button, connecting on the chosen PC interface, cutting the
// received stream into reply lines, sending command texts, the byte counters and every
// TCP error line.
class SessionConnection : public QObject {
    Q_OBJECT
public:
    using LogFn = std::function<void(const QString&)>;

    // One read takes at most this many bytes; a readiness notification reads until
    // nothing waits, but at most kReadsPerNotification times, so that a flooding peer
    // leaves the window its other events (the notification repeats while data waits).
    static constexpr std::size_t kReadSize = 2047;
    static constexpr int kReadsPerNotification = 64;

    SessionConnection(QWidget& dialog, DialogForm& form, DeviceTable& table, ScanEndpoint& endpoint,
                      DeviceTree& tree, SessionPanels& panels, SessionFlags& flags,
                      const LanguageTexts& texts, LogFn log, QObject* parent = nullptr);
    ~SessionConnection() override;

    // A new socket for the chosen PC interface; it replaces the previous one.
    void createSocket(std::uint32_t interfaceAddress);
    // The action of button 5006 in every state: connect, cancel or disconnect.
    void ToggleConnection();
    // Sends the text up to its first NUL (it carries its own CR). 0 when the socket took
    // it, -1 after a logged failure.
    int SendText(std::string_view text);
    // Into Idle: every failure path ends here.
    void GoIdle();
    // Disables the device selection controls while the session is not Idle, enables
    // them in Idle.
    void SelectionLock();
    // Shows the button caption of the current state; a state whose language text is
    // empty (no language applied yet) leaves the caption as it stands.
    void updateButtonLabel();

    SessionState state() const { return m_state; }
    std::uint32_t BytesSent() const { return m_bytesSent; }
    std::uint32_t BytesReceived() const { return m_bytesReceived; }
    // Characters of the partly received reply line.
    std::size_t pendingLineLength() const { return m_lines.length(); }
    std::uint32_t socketInterface() const;

signals:
    // Each complete reply line, in arrival order: the reply parser's input.
    void lineReceived(const QByteArray& line);
    // A read completed at least one line: the read sequence takes its next step at once.
    void linesCompleted();
    // After the entry actions of a state.
    void stateEntered(zek::SessionState state);

private:
    void enterLookingUp();
    void enterConnecting();
    void enterConnected();
    void setState(SessionState state);
    void runConnect();
    void onSocketEvent(int event, int error);
    bool receive();
    void logError(const char* what, int error);

    QWidget& m_dialog;
    DialogForm& m_form;
    DeviceTable& m_table;
    ScanEndpoint& m_endpoint;
    DeviceTree& m_tree;
    SessionPanels& m_panels;
    SessionFlags& m_flags;
    const LanguageTexts& m_texts;
    LogFn m_log;
    QPointer<TcpSocket> m_socket;
    SessionState m_state = SessionState::Idle;
    LineSplitter m_lines;
    std::uint32_t m_remoteAddress = 0;
    std::uint16_t m_remotePort = 0;
    std::uint32_t m_bytesSent = 0;
    std::uint32_t m_bytesReceived = 0;
    // Changes on every entry to Idle, so that a handler can tell that the session ended
    // while it ran.
    unsigned m_sessionGeneration = 0;
};

} // namespace zek
