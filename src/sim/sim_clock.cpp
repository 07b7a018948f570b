#include "sim/sim_clock.h"

#include <QRegularExpression>

namespace zek {

namespace {

int weekdayFromSunday(const QDate& date) {
    return date.dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
}

QDateTime ruleInstant(const SimDstRule& rule, int year) {
    const int day = simNthWeekday(rule.occurrence, rule.weekday, rule.month, year);
    return QDateTime(QDate(year, rule.month, day), QTime(rule.hour, 0), Qt::UTC);
}

bool ruleIsValid(const SimDstRule& rule) {
    return rule.occurrence >= 0 && rule.occurrence <= 4 && rule.weekday >= 0 && rule.weekday <= 6 &&
           rule.month >= 1 && rule.month <= 12 && rule.hour >= 0 && rule.hour <= 23;
}

// Local standard time, kept as a UTC-labelled value so that no host zone enters.
QDateTime standardTime(const SimDeviceState& state, const QDateTime& moduleUtc) {
    return moduleUtc.addSecs(qint64(state.zoneMinutes) * 60);
}

} // namespace

QByteArray simClockText(const QDateTime& time) {
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%02d:%02d:%02d (%d) %02d.%02d.%02d", clock.hour(), clock.minute(),
                             clock.second(), weekdayFromSunday(date), date.day(), date.month(),
                             date.year() % 100)
        .toLatin1();
}

int simNthWeekday(int occurrence, int weekday, int month, int year) {
    const QDate first(year, month, 1);
    const int offset = (weekday - weekdayFromSunday(first) + 7) % 7;
    int day = occurrence * 7 + offset + 1;
    while (day > first.daysInMonth())
        day -= 7;
    return day;
}

QDateTime simModuleUtc(const SimDeviceState& state, const QDateTime& hostUtc) {
    return hostUtc.toUTC().addSecs(state.clockOffsetSecs);
}

bool simInSummerTime(const SimDeviceState& state, const QDateTime& moduleUtc) {
    if (!state.dstUse || !ruleIsValid(state.dstStart) || !ruleIsValid(state.dstStop))
        return false;
    const QDateTime standard = standardTime(state, moduleUtc);
    const int year = standard.date().year();
    const QDateTime start = ruleInstant(state.dstStart, year);
    // The stop rule names a summer-time hour: one hour earlier in standard time.
    const QDateTime stop = ruleInstant(state.dstStop, year).addSecs(-3600);
    return start <= standard && standard < stop;
}

QByteArray simTimeUtcLine(const SimDeviceState& state, const QDateTime& hostUtc) {
    if (!state.hasRtc)
        return "!TIME_UTC No RTC";
    return "!TIME_UTC " + simClockText(simModuleUtc(state, hostUtc)) + " (" +
           QByteArray::number(state.zoneMinutes) + ')';
}

QByteArray simTimeLocalLine(const SimDeviceState& state, const QDateTime& hostUtc) {
    if (!state.hasRtc)
        return "!TIME_LOCAL No RTC";
    const QDateTime utc = simModuleUtc(state, hostUtc);
    const bool summer = simInSummerTime(state, utc);
    const QDateTime local = standardTime(state, utc).addSecs(summer ? 3600 : 0);
    return "!TIME_LOCAL " + simClockText(local) + (summer ? " (S)" : " (W)");
}

QList<QByteArray> simStartTimeLines(const SimDeviceState& state, const QDateTime& hostUtc) {
    if (!state.hasRtc)
        return {"modul_time_utc No RTC", "modul_time_local No RTC"};
    // The same texts as the clock replies, under the start message's own words.
    const QByteArray utc = simTimeUtcLine(state, hostUtc);
    const QByteArray local = simTimeLocalLine(state, hostUtc);
    return {"modul_time_utc " + utc.mid(10, 21), "modul_time_local " + local.mid(12)};
}

std::optional<SimClockSetting> parseSimClockSetting(QByteArrayView payload) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*(\d{1,2}):(\d{1,2}):(\d{1,2})\s+\(\s*\d\s*\)\s+(\d{1,2})\.(\d{1,2})\.(\d{1,2})\s+\(\s*([+-]?\d{1,5})\s*\)\s*$)"));
    const auto match = pattern.match(QString::fromLatin1(payload));
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&match](int group) { return match.capturedView(group).toInt(); };
    const QTime time(number(1), number(2), number(3));
    const QDate date(2000 + number(6), number(5), number(4));
    const int zone = number(7);
    if (!time.isValid() || !date.isValid() || zone < -24 * 60 || zone > 24 * 60)
        return std::nullopt;
    return SimClockSetting{QDateTime(date, time, Qt::UTC), zone};
}

} // namespace zek
