#include "sim/sim_command_stream.h"

#include "sim/sim_text_protocol.h"

#include <QStringList>

#include <algorithm>

namespace zek {

namespace {

constexpr qsizetype kLoggedLineBytes = 160;

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

// Keeps the first half of the bytes the writes carry, the write it falls in cut there.
void cutInHalf(std::vector<SimTcpStep>& steps) {
    qint64 total = 0;
    for (const SimTcpStep& step : steps)
        total += step.bytes.size();
    qint64 keep = total / 2;
    auto step = steps.begin();
    for (; step != steps.end() && keep >= step->bytes.size(); ++step)
        keep -= step->bytes.size();
    if (step == steps.end())
        return;
    step->bytes.truncate(keep);
    steps.erase(keep > 0 ? step + 1 : step, steps.end());
}

// splitmix64: a well-mixed sequence from any seed, the same on every platform.
quint64 nextRandom(quint64& state) {
    quint64 z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

SimCommandStream::SimCommandStream(SimModule& module, std::function<QDateTime()> hostClock)
    : m_module(module), m_hostClock(std::move(hostClock)) {}

std::vector<SimCommandLine> SimCommandStream::take(QByteArrayView bytes) {
    std::vector<SimCommandLine> lines;
    const auto finishLine = [&] {
        lines.push_back({std::exchange(m_line, {}), std::exchange(m_dropped, 0)});
    };
    for (const char c : bytes) {
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
    return lines;
}

SimCommandStream::Answer SimCommandStream::answer(const SimCommandLine& line, qint64 backlog) {
    Answer answer;
    if (line.text.isEmpty() && line.dropped == 0)
        return answer;
    ++m_commands;
    const SimFaults& faults = m_module.faults();

    QString outcome;
    if (faults.silent) {
        outcome = QStringLiteral("not answered (silent)");
    } else if (m_sendingShut) {
        outcome = QStringLiteral("not answered (sending side shut down)");
    } else if (faults.garbage) {
        const QByteArray bytes = garbage();
        queueWrite(bytes, answer.steps);
        outcome = QStringLiteral("answered with %1 bytes of garbage").arg(bytes.size());
    } else {
        QString note;
        const QList<QByteArray> lines = replyFor(line, note);
        outcome = lines.isEmpty() ? QStringLiteral("not answered") : queueReply(lines, backlog, answer.steps);
        if (!note.isEmpty())
            outcome = note + QStringLiteral("; ") + outcome;
    }
    using Action = SimTcpStep::Action;
    if (faults.closeAfter == m_commands) {
        answer.steps.push_back({Action::Close, {}});
        outcome += QStringLiteral("; closing (close-after %1)").arg(m_commands);
    } else if (faults.resetMidReply == m_commands) {
        cutInHalf(answer.steps);
        answer.steps.push_back({Action::Reset, {}});
        outcome +=
            QStringLiteral("; resetting half-way through the reply (reset-mid-reply %1)").arg(m_commands);
    } else if (faults.resetAfter == m_commands) {
        answer.steps.push_back({Action::Reset, {}});
        outcome += QStringLiteral("; resetting (reset-after %1)").arg(m_commands);
    } else if (faults.halfCloseAfter == m_commands) {
        answer.steps.push_back({Action::HalfClose, {}});
        m_sendingShut = true;
        outcome += QStringLiteral("; shutting the sending side down (half-close-after %1)").arg(m_commands);
    }
    const QString received = line.dropped > 0
                                 ? quoted(line.text) + QStringLiteral(" and %1 more bytes").arg(line.dropped)
                                 : quoted(line.text);
    answer.log = received + QStringLiteral(": ") + outcome;
    return answer;
}

QList<QByteArray> SimCommandStream::replyFor(const SimCommandLine& line, QString& note) {
    if (line.dropped > 0) {
        note = QStringLiteral("over-long line");
        return {simErrorLine(kSimErrorUnknown)};
    }
    const SimTextCommand command = parseSimTextCommand(line.text);
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
    const QDateTime now = m_hostClock ? m_hostClock() : QDateTime::currentDateTimeUtc();
    SimAnswer answer = answerSimTextCommand(command, m_module.state(), now);
    note = answer.note;
    return answer.lines;
}

QString SimCommandStream::queueReply(const QList<QByteArray>& lines, qint64 backlog,
                                     std::vector<SimTcpStep>& steps) const {
    const SimFaults& faults = m_module.faults();
    if (backlog > kMaxSendBacklog)
        return QStringLiteral("reply withheld, %1 bytes still wait for the peer to read").arg(backlog);

    QList<QByteArray> all = lines;
    if (faults.longLine > 0)
        all += longLineText(faults.longLine);
    for (int i = 1; i <= faults.flood; ++i)
        all += "flood " + QByteArray::number(i);
    const QByteArray ending = faults.noLineEnd ? QByteArray()
                              : faults.crlf    ? QByteArray("\r\n")
                                               : QByteArray("\r");
    if (faults.merge) {
        QByteArray block;
        for (const QByteArray& line : std::as_const(all))
            block += line + ending;
        queueWrite(block, steps);
    } else {
        for (const QByteArray& line : std::as_const(all))
            queueWrite(line + ending, steps);
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

QByteArray SimCommandStream::garbage() const {
    quint64 state = quint64(m_commands);
    for (const quint8 byte : m_module.mac())
        state = (state << 8) ^ byte ^ (state >> 56);
    const int size = 16 + int(nextRandom(state) % 48);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = char(nextRandom(state));
        if (byte == '\r' || byte == '\n')
            byte = '\0';
    }
    // Line ends only where placed: NUL, CR and LF inside, a CR at the end, so the peer
    // sees whole lines. Each line starts with a byte above 0x7F, so none can read as a
    // reply ("!..." or "modul_...").
    for (const int start : {0, size / 2 + 1, 2 * size / 3 + 1})
        bytes[start] = char(0x80 | quint8(bytes[start]));
    bytes[size / 3] = '\0';
    bytes[size / 2] = '\r';
    bytes[2 * size / 3] = '\n';
    bytes[size - 1] = '\r';
    return bytes;
}

void SimCommandStream::queueWrite(const QByteArray& bytes, std::vector<SimTcpStep>& steps) const {
    if (const int drip = m_module.faults().dripMs; drip > 0) {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            steps.push_back({SimTcpStep::Action::Write, bytes.sliced(i, 1), false, i == 0 ? 0 : drip});
        return;
    }
    if (!m_module.faults().split || bytes.size() < 2) {
        steps.push_back({SimTcpStep::Action::Write, bytes});
        return;
    }
    const qsizetype half = bytes.size() / 2;
    steps.push_back({SimTcpStep::Action::Write, bytes.left(half)});
    steps.push_back({SimTcpStep::Action::Write, bytes.mid(half), true});
}

} // namespace zek
