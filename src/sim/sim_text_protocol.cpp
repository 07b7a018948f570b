#include "sim/sim_text_protocol.h"
#include "sim/sim_clock.h"

#include <QRegularExpression>

#include <optional>

namespace zek {

namespace {

constexpr qsizetype kMaxLocation = 63;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The whole argument as one decimal number, blanks around it allowed.
std::optional<int> wholeNumber(QByteArrayView text) {
    const QByteArray trimmed = text.trimmed().toByteArray();
    if (trimmed.isEmpty() || trimmed.size() > 9)
        return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<SimDstRule> parseRule(QByteArrayView text) {
    const QList<QByteArray> words = text.toByteArray().simplified().split(' ');
    if (words.size() != 4)
        return std::nullopt;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const auto value = wholeNumber(words[i]);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    const SimDstRule rule{values[0], values[1], values[2], values[3]};
    if (rule.occurrence < 0 || rule.occurrence > 4 || rule.weekday < 0 || rule.weekday > 6 ||
        rule.month < 1 || rule.month > 12 || rule.hour < 0 || rule.hour > 23)
        return std::nullopt;
    return rule;
}

QByteArray addressText(quint32 address) {
    return QByteArray::number(address >> 24) + '.' + QByteArray::number((address >> 16) & 0xFF) + '.' +
           QByteArray::number((address >> 8) & 0xFF) + '.' + QByteArray::number(address & 0xFF);
}

QByteArray ruleText(const SimDstRule& rule) {
    return QByteArray::number(rule.occurrence) + ' ' + QByteArray::number(rule.weekday) + ' ' +
           QByteArray::number(rule.month) + ' ' + QByteArray::number(rule.hour);
}

QString refused(const SimTextCommand& command) {
    return QStringLiteral("argument \"%1\" refused, value unchanged")
        .arg(QString::fromLatin1(command.argument));
}

// Sets of the logger, rules, traps and location; the reply is always the query's line.
QString applySet(const SimTextCommand& command, SimDeviceState& state) {
    const QByteArray& keyword = command.keyword;
    if (keyword == "LOG_ON") {
        const auto value = wholeNumber(command.argument);
        if (!value || *value < 0 || *value > 60)
            return refused(command);
        state.loggerOn = *value > 0;
        if (*value > 0)
            state.logInterval = *value;
        return state.loggerOn ? QStringLiteral("logger on, interval %1").arg(*value)
                              : QStringLiteral("logger off");
    }
    if (keyword == "DST_USE") {
        const auto value = wholeNumber(command.argument);
        if (!value || (*value != 0 && *value != 1))
            return refused(command);
        state.dstUse = *value == 1;
        return state.dstUse ? QStringLiteral("daylight saving on") : QStringLiteral("daylight saving off");
    }
    if (keyword == "DST_START" || keyword == "DST_STOP") {
        const auto rule = parseRule(command.argument);
        if (!rule)
            return refused(command);
        (keyword == "DST_START" ? state.dstStart : state.dstStop) = *rule;
        return QStringLiteral("rule stored");
    }
    if (keyword.startsWith("TRAP_IP")) {
        const auto address = parseIpv4(QString::fromLatin1(command.argument));
        if (!address)
            return refused(command);
        state.trapIps[static_cast<std::size_t>(keyword.back() - '1')] = *address;
        return QStringLiteral("receiver stored");
    }
    state.snmpLocation = command.argument.left(kMaxLocation);
    return command.argument.size() > kMaxLocation
               ? QStringLiteral("location cut to %1 characters").arg(kMaxLocation)
               : QStringLiteral("location stored");
}

// The line a query of a settable value gets; empty for any other keyword.
QByteArray valueLine(const QByteArray& keyword, const SimDeviceState& state) {
    if (keyword == "LOG_ON")
        return "!LOG_ON " + QByteArray::number(state.loggerOn ? state.logInterval : 0);
    if (keyword == "DST_USE")
        return "!DST_USE " + QByteArray::number(state.dstUse ? 1 : 0);
    if (keyword == "DST_START")
        return "!DST_START " + ruleText(state.dstStart);
    if (keyword == "DST_STOP")
        return "!DST_STOP " + ruleText(state.dstStop);
    if (keyword == "TRAP_IP1" || keyword == "TRAP_IP2" || keyword == "TRAP_IP3")
        return '!' + keyword + ' ' +
               addressText(state.trapIps[static_cast<std::size_t>(keyword.back() - '1')]);
    if (keyword == "SNMP_LOC")
        return "!SNMP_LOC " + state.snmpLocation;
    return {};
}

// "!GERAET", "!REVISION" and "!FIRMA"; empty for any other keyword.
QByteArray identityLine(const QByteArray& keyword, const SimDeviceState& state) {
    if (keyword == "GERAET")
        return "!GERAET " + state.deviceType;
    if (keyword == "REVISION")
        return "!REVISION " + state.revision;
    if (keyword == "FIRMA")
        return "!FIRMA " + state.company;
    return {};
}

SimAnswer clockAnswer(const SimTextCommand& command, SimDeviceState& state, const QDateTime& hostUtc) {
    QString note;
    if (command.kind == SimTextCommand::Kind::Set) {
        if (!state.hasRtc) {
            note = QStringLiteral("no RTC, clock not set");
        } else if (const auto setting = parseSimClockSetting(command.argument)) {
            state.clockOffsetSecs = hostUtc.toUTC().secsTo(setting->utc);
            state.zoneMinutes = setting->zoneMinutes;
            note = QStringLiteral("clock set");
        } else {
            note = refused(command);
        }
    }
    // The line the tool waits for comes last, so the whole answer is in when it moves on.
    return {{simTimeUtcLine(state, hostUtc), simTimeLocalLine(state, hostUtc)}, note};
}

} // namespace

SimTextCommand parseSimTextCommand(QByteArrayView line) {
    SimTextCommand command;
    if (line.size() < 2 || (line.front() != '?' && line.front() != '!'))
        return command;
    qsizetype end = 1;
    while (end < line.size() && !isBlank(line[end]))
        ++end;
    command.keyword = line.sliced(1, end - 1).toByteArray();
    command.argument = end < line.size() ? line.sliced(end + 1).toByteArray() : QByteArray();
    command.kind = line.front() == '?' ? SimTextCommand::Kind::Query : SimTextCommand::Kind::Set;
    return command;
}

QByteArray simErrorLine(int code) {
    return "!ERROR " + QByteArray::number(code);
}

QList<QByteArray> simStartMessage(const SimDeviceState& state, const QDateTime& hostUtc) {
    QList<QByteArray> lines{"modul_typ " + state.moduleType + " date " + state.swDate +
                                " SW: " + state.swVersion,
                            "modul_config " + state.letters};
    if (state.startTimeLines)
        lines += simStartTimeLines(state, hostUtc);
    return lines;
}

SimAnswer answerSimTextCommand(const SimTextCommand& command, SimDeviceState& state,
                               const QDateTime& hostUtc) {
    const bool isSet = command.kind == SimTextCommand::Kind::Set;
    if (command.kind == SimTextCommand::Kind::Invalid)
        return {{simErrorLine(kSimErrorUnknown)}, QStringLiteral("not a command")};
    if (command.keyword == "STARTMSG" && !isSet)
        return {simStartMessage(state, hostUtc), {}};
    if (command.keyword == "TIME_UTC")
        return clockAnswer(command, state, hostUtc);
    if (const QByteArray line = identityLine(command.keyword, state); !line.isEmpty()) {
        if (isSet)
            return {{simErrorLine(kSimErrorReadOnly)}, QStringLiteral("read-only value")};
        return {{line}, {}};
    }
    if (valueLine(command.keyword, state).isEmpty())
        return {{simErrorLine(kSimErrorUnknown)}, QStringLiteral("unknown keyword")};
    const QString note = isSet ? applySet(command, state) : QString();
    return {{valueLine(command.keyword, state)}, note};
}

} // namespace zek
