#include "sim/sim_session.h"

#include "sim/sim_text_protocol.h"
#include "sim/tcp_shutdown.h"

#include <QTcpSocket>

namespace zek {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;
constexpr qsizetype kLoggedLineBytes = 160;

QString endpointText(const QHostAddress& address, quint16 port) {
    if (address.isNull())
        return QStringLiteral("(gone)");
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return QStringLiteral("%1:%2").arg(isIpv4 ? QHostAddress(ipv4).toString() : address.toString()).arg(port);
}

// A line as the console shows it: quoted, with control and non-ASCII bytes as \xNN,
// and cut when long.
QString quoted(const QByteArray& line) {
    QString text = QStringLiteral("\"");
    for (qsizetype i = 0; i < std::min(line.size(), kLoggedLineBytes); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c > 0x7E) {
            text += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
            continue;
        }
        if (c == '"' || c == '\\')
            text += QLatin1Char('\\');
        text += QLatin1Char(static_cast<char>(c));
    }
    text += QLatin1Char('"');
    if (line.size() > kLoggedLineBytes)
        text += QStringLiteral("... (%1 bytes)").arg(line.size());
    return text;
}

QByteArray longLineText(int length) {
    QByteArray text = "long ";
    text.reserve(length);
    while (text.size() < length)
        text += static_cast<char>('0' + text.size() % 10);
    return text.left(length);
}

} // namespace

SimSession::SimSession(QTcpSocket* socket, SimModule& module, const FleetOptions& options, QObject* parent)
    : QObject(parent), m_socket(socket), m_module(module), m_options(options) {
    m_socket->setParent(this);
    m_peerText = endpointText(m_socket->peerAddress(), m_socket->peerPort());
    m_localText = endpointText(m_socket->localAddress(), m_socket->localPort());
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &SimSession::pump);
    connect(m_socket, &QTcpSocket::readyRead, this, &SimSession::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &SimSession::end);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            end();
    });
}

SimSession::~SimSession() {
    abandon();
}

void SimSession::closeInOrder() {
    if (m_finished)
        return;
    m_steps.clear();
    m_pause.stop();
    m_socket->disconnectFromHost();
}

void SimSession::abandon() {
    m_finished = true;
    m_pause.stop();
    m_steps.clear();
    m_socket->disconnect(this);
    m_socket->abort();
}

void SimSession::readAvailable() {
    // Everything is taken on each notification, so Qt's buffer holds no more than one
    // read of the socket. (A capped read buffer that fills up stops the notifications.)
    while (!m_finished && m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(kReadChunk);
        if (chunk.isEmpty())
            break;
        emit bytesReceived(chunk);
        takeBytes(chunk);
    }
}

void SimSession::takeBytes(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (m_finished)
            return;
        if (c == '\r') {
            finishLine();
            m_afterCr = true;
            continue;
        }
        // LF after CR belongs to the same line end; a lone LF ends a line as well.
        if (c == '\n') {
            if (!m_afterCr)
                finishLine();
            m_afterCr = false;
            continue;
        }
        m_afterCr = false;
        if (m_line.size() < kMaxCommandLine)
            m_line += c;
        else
            ++m_dropped;
    }
}

void SimSession::finishLine() {
    const QByteArray line = m_line;
    const qsizetype dropped = m_dropped;
    m_line.clear();
    m_dropped = 0;
    handleLine(line, dropped);
}

void SimSession::handleLine(const QByteArray& line, qsizetype droppedBytes) {
    emit lineReceived(line);
    if (m_finished || (line.isEmpty() && droppedBytes == 0))
        return;
    ++m_commands;
    const SimFaults& faults = m_module.faults();

    QString outcome;
    if (faults.silent) {
        outcome = QStringLiteral("not answered (silent)");
    } else if (m_sendingShut) {
        outcome = QStringLiteral("not answered (sending side shut down)");
    } else {
        QString note;
        const QList<QByteArray> lines = replyFor(line, droppedBytes, note);
        outcome = lines.isEmpty() ? QStringLiteral("not answered") : queueReply(lines);
        if (!note.isEmpty())
            outcome = note + QStringLiteral("; ") + outcome;
    }
    if (faults.closeAfter == m_commands) {
        m_steps.push_back({Action::Close, {}});
        outcome += QStringLiteral("; closing (close-after %1)").arg(m_commands);
    } else if (faults.resetAfter == m_commands) {
        m_steps.push_back({Action::Reset, {}});
        outcome += QStringLiteral("; resetting (reset-after %1)").arg(m_commands);
    } else if (faults.halfCloseAfter == m_commands) {
        m_steps.push_back({Action::HalfClose, {}});
        outcome += QStringLiteral("; shutting the sending side down (half-close-after %1)").arg(m_commands);
    }
    const QString received = droppedBytes > 0
                                 ? quoted(line) + QStringLiteral(" and %1 more bytes").arg(droppedBytes)
                                 : quoted(line);
    emit logLine(QStringLiteral("%1 -> %2 %3: %4").arg(m_peerText, m_localText, received, outcome));
    pump();
}

QList<QByteArray> SimSession::replyFor(const QByteArray& line, qsizetype droppedBytes, QString& note) {
    if (droppedBytes > 0) {
        note = QStringLiteral("over-long line");
        return {simErrorLine(kSimErrorUnknown)};
    }
    const SimTextCommand command = parseSimTextCommand(line);
    const SimFaults& faults = m_module.faults();
    if (faults.neverAnswer.contains(command.keyword)) {
        note = QStringLiteral("never-answer");
        return {};
    }
    if (const auto error = faults.errorFor.constFind(command.keyword); error != faults.errorFor.constEnd()) {
        note = QStringLiteral("error fault");
        return {simErrorLine(*error)};
    }
    if (const auto custom = faults.customReplies.constFind(command.keyword);
        custom != faults.customReplies.constEnd()) {
        note = QStringLiteral("custom reply");
        return *custom;
    }
    const QDateTime now = m_options.hostClock ? m_options.hostClock() : QDateTime::currentDateTimeUtc();
    SimAnswer answer = answerSimTextCommand(command, m_module.state(), now);
    note = answer.note;
    return answer.lines;
}

QString SimSession::queueReply(const QList<QByteArray>& lines) {
    const SimFaults& faults = m_module.faults();
    QList<QByteArray> all = lines;
    if (faults.longLine > 0)
        all += longLineText(faults.longLine);
    for (int i = 1; i <= faults.flood; ++i)
        all += "flood " + QByteArray::number(i);

    qint64 queued = m_socket->bytesToWrite();
    for (const Step& step : m_steps)
        queued += step.bytes.size();
    if (queued > kMaxSendBacklog)
        return QStringLiteral("reply withheld, %1 bytes still wait for the peer to read").arg(queued);

    const QByteArray ending = faults.noLineEnd ? QByteArray()
                              : faults.crlf    ? QByteArray("\r\n")
                                               : QByteArray("\r");
    if (faults.merge) {
        QByteArray block;
        for (const QByteArray& line : std::as_const(all))
            block += line + ending;
        queueWrite(block);
    } else {
        for (const QByteArray& line : std::as_const(all))
            queueWrite(line + ending);
    }

    QStringList shown;
    for (const QByteArray& line : lines)
        shown += quoted(line);
    QString text = shown.join(QStringLiteral(", "));
    if (faults.longLine > 0)
        text += QStringLiteral(" + a %1-character line").arg(faults.longLine);
    if (faults.flood > 0)
        text += QStringLiteral(" + %1 flood lines").arg(faults.flood);
    return text;
}

void SimSession::queueWrite(const QByteArray& bytes) {
    if (!m_module.faults().split || bytes.size() < 2) {
        m_steps.push_back({Action::Write, bytes});
        return;
    }
    const qsizetype half = bytes.size() / 2;
    m_steps.push_back({Action::Write, bytes.left(half)});
    m_steps.push_back({Action::Write, bytes.mid(half), true});
}

void SimSession::pump() {
    while (!m_finished && !m_pause.isActive() && !m_steps.empty()) {
        Step& next = m_steps.front();
        if (next.pauseBefore) {
            next.pauseBefore = false;
            m_pause.start(std::max(0, m_options.splitPauseMs));
            return;
        }
        const Step step = std::move(next);
        m_steps.pop_front();
        switch (step.action) {
        case Action::Write:
            writeNow(step.bytes);
            break;
        case Action::Close:
            m_steps.clear();
            m_socket->disconnectFromHost();
            return;
        case Action::Reset:
            m_steps.clear();
            m_socket->flush();
            if (!setResetOnClose(m_socket->socketDescriptor()))
                emit logLine(
                    QStringLiteral("%1 -> %2: cannot reset, closing instead").arg(m_peerText, m_localText));
            m_socket->abort();
            return;
        case Action::HalfClose:
            m_socket->flush();
            if (!shutdownSending(m_socket->socketDescriptor()))
                emit logLine(QStringLiteral("%1 -> %2: cannot shut the sending side down")
                                 .arg(m_peerText, m_localText));
            m_sendingShut = true;
            break;
        }
    }
}

void SimSession::writeNow(const QByteArray& bytes) {
    if (m_sendingShut || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(bytes);
    // Each write goes to the socket by itself rather than gathered with the next one.
    m_socket->flush();
    emit bytesSent(bytes);
}

void SimSession::end() {
    if (m_finished)
        return;
    m_finished = true;
    m_pause.stop();
    m_steps.clear();
    emit logLine(QStringLiteral("%1 -> %2: connection ended").arg(m_peerText, m_localText));
    emit finished();
}

} // namespace zek
