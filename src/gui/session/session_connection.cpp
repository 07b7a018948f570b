#include "gui/session/session_connection.h"

#include "core/scan/device_table.h"
#include "core/session/session_flags.h"
#include "core/settings/language_table.h"
#include "core/settings/language_texts.h"
#include "gui/app/dialog_form.h"
#include "gui/app/text_codec.h"
#include "gui/scan/device_tree.h"
#include "gui/scan/scan_endpoint.h"
#include "gui/session/session_panels.h"
#include "gui/session/tcp_socket.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include <array>

namespace zek {

namespace {

constexpr int kStateText = 5005;
constexpr int kConnectButton = 5006;
constexpr int kSoftwareText = 5078;
constexpr std::array<int, 6> kSelectionControls = {5060, 5064, 5150, 5152, 5026, 5192};
constexpr std::array<int, 4> kModuleInfoEdits = {5173, 5175, 5177, 5176};

const char* stateText(SessionState state) {
    switch (state) {
    case SessionState::Idle:
        return "State: Idle";
    case SessionState::LookingUp:
        return "State: Looking Up Address...";
    case SessionState::Connecting:
        return "State: connecting...";
    case SessionState::Connected:
        return "State: Connected";
    }
    return "";
}

} // namespace

SessionConnection::SessionConnection(QWidget& dialog, DialogForm& form, DeviceTable& table,
                                     ScanEndpoint& endpoint, DeviceTree& tree, SessionPanels& panels,
                                     SessionFlags& flags, const LanguageTexts& texts, LogFn log,
                                     QObject* parent)
    : QObject(parent), m_dialog(dialog), m_form(form), m_table(table), m_endpoint(endpoint), m_tree(tree),
      m_panels(panels), m_flags(flags), m_texts(texts), m_log(std::move(log)) {}

SessionConnection::~SessionConnection() {
    if (m_socket)
        m_socket->close();
}

void SessionConnection::createSocket(std::uint32_t interfaceAddress) {
    // The interface selector is locked during a session; a program call still must not
    // leave a session on a socket that is going away.
    if (m_state != SessionState::Idle)
        GoIdle();
    if (m_socket) {
        m_socket->close();
        m_socket->deleteLater();
    }
    m_socket = new TcpSocket(
        interfaceAddress, [this](TcpSocket::Event event, int error) { onSocketEvent(int(event), error); },
        this);
}

std::uint32_t SessionConnection::socketInterface() const {
    return m_socket ? m_socket->localAddress() : 0;
}

void SessionConnection::ToggleConnection() {
    switch (m_state) {
    case SessionState::Idle: {
        // Button 5006 is enabled only with a module selected; a press from the program
        // without one has nothing to connect to.
        const DeviceRecord* record = m_table.selected();
        if (!record) {
            m_log(QStringLiteral("ZEKConfig: No module selected, nothing to connect to"));
            return;
        }
        m_remoteAddress = record->CurrentIp;
        m_remotePort = std::uint16_t(record->Port);
        enterLookingUp();
        // The host text is the module's address in dotted form, so no name lookup is
        // needed: straight on to connecting.
        enterConnecting();
        runConnect();
        break;
    }
    case SessionState::LookingUp:
    case SessionState::Connecting:
        GoIdle();
        break;
    case SessionState::Connected:
        if (m_socket)
            m_socket->shutdownBoth();
        GoIdle();
        break;
    }
}

void SessionConnection::runConnect() {
    if (!m_socket || !m_socket->open()) {
        logError("creating socket", m_socket ? m_socket->lastError() : TcpSocket::notOpenError());
        GoIdle();
        return;
    }
    if (!m_socket->bind()) {
        logError("on socket Bind", m_socket->lastError());
        GoIdle();
        return;
    }
    if (!m_socket->connectTo(m_remoteAddress, m_remotePort)) {
        logError("while connecting", m_socket->lastError());
        GoIdle();
    }
}

void SessionConnection::onSocketEvent(int event, int error) {
    switch (TcpSocket::Event(event)) {
    case TcpSocket::Event::Readable:
        if (error != 0)
            logError("while reading", error);
        else if (receive())
            emit linesCompleted();
        break;
    case TcpSocket::Event::Writable:
        if (error != 0)
            logError("writing data", error);
        break;
    case TcpSocket::Event::Connected:
        if (m_state != SessionState::Connecting)
            break;
        if (error != 0) {
            logError("while connecting", error);
            GoIdle();
        } else {
            enterConnected();
        }
        break;
    case TcpSocket::Event::Closed:
        if (error != 0)
            logError("closing socket", error);
        GoIdle();
        break;
    }
}

bool SessionConnection::receive() {
    bool completed = false;
    const unsigned generation = m_sessionGeneration;
    std::array<std::uint8_t, kReadSize> buffer;
    for (int n = 0; n < kReadsPerNotification && generation == m_sessionGeneration && m_socket; ++n) {
        std::size_t received = 0;
        if (m_socket->read(buffer, received) != TcpSocket::ReadResult::Data)
            break;
        m_bytesReceived += std::uint32_t(received);
        m_tree.noteRxActivity();
        m_lines.feed(std::span(buffer.data(), received), [&](std::string_view line) {
            completed = true;
            m_log(QStringLiteral("RCV: ") + fromModuleText(line));
            emit lineReceived(QByteArray(line.data(), qsizetype(line.size())));
            return generation == m_sessionGeneration;
        });
    }
    return completed;
}

int SessionConnection::SendText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!m_socket || !m_socket->write(std::span(bytes, text.size()))) {
        logError("writing data", m_socket ? m_socket->lastError() : TcpSocket::notOpenError());
        return -1;
    }
    m_bytesSent += std::uint32_t(text.size());
    m_log(QStringLiteral("SND: ") + fromModuleText(text));
    return 0;
}

void SessionConnection::setState(SessionState state) {
    m_state = state;
    if (auto* text = m_form.control<QLabel>(kStateText))
        text->setText(QString::fromLatin1(stateText(state)));
}

void SessionConnection::updateButtonLabel() {
    const std::string label = m_texts.text(connectCaptionKey(m_state));
    if (auto* button = m_form.control<QAbstractButton>(kConnectButton); button && !label.empty())
        button->setText(QString::fromStdString(label));
}

void SessionConnection::SelectionLock() {
    const bool unlocked = m_state == SessionState::Idle;
    for (const int id : kSelectionControls)
        if (QWidget* widget = m_form.widget(id))
            widget->setEnabled(unlocked);
}

void SessionConnection::enterLookingUp() {
    setState(SessionState::LookingUp);
    updateButtonLabel();
    SelectionLock();
    m_panels.applyAll();
    emit stateEntered(m_state);
}

void SessionConnection::enterConnecting() {
    setState(SessionState::Connecting);
    m_log(QStringLiteral("ZEKConfig: Socket connecting ..."));
    updateButtonLabel();
    m_flags.TrapCapable = false;
    m_flags.LoggerCapable = false;
    SelectionLock();
    m_panels.applyAll();
    emit stateEntered(m_state);
}

void SessionConnection::enterConnected() {
    setState(SessionState::Connected);
    m_log(QStringLiteral("ZEKConfig: Socket connected"));
    updateButtonLabel();
    SelectionLock();
    // Only the session buttons: the panels follow the module's configuration reply.
    m_panels.applySessionButtons();
    m_tree.selectionChanged();
    for (const int id : kModuleInfoEdits)
        m_form.control<QLineEdit>(id)->setText(QStringLiteral("?"));
    m_form.control<QLabel>(kSoftwareText)->setText(QStringLiteral("?"));
    emit stateEntered(m_state);
}

void SessionConnection::GoIdle() {
    ++m_sessionGeneration;
    setState(SessionState::Idle);
    m_log(QStringLiteral("ZEKConfig: Socket disconnected"));
    updateButtonLabel();
    m_lines.clear();
    m_dialog.setWindowTitle(m_endpoint.interfaceText() + QStringLiteral(" nicht verbunden"));
    if (m_socket)
        m_socket->close();
    m_tree.updateStateIcon(true);
    SelectionLock();
    m_tree.selectionChanged();
    m_panels.applyAll();
    emit stateEntered(m_state);
}

void SessionConnection::logError(const char* what, int error) {
    m_log(QStringLiteral("ZEKConfig: TCP/IP Error %1 (Winsock:%2)").arg(QLatin1String(what)).arg(error, 5));
}

} // namespace zek
