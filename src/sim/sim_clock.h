#pragma once

#include "sim/sim_module.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>

#include <optional>

namespace zek {

// A module clock runs as the host's UTC clock plus the module's offset; its local time
// adds the standard zone and, with daylight saving in use, one hour inside the window
// that the two rules give for the year.

// "hh:mm:ss (w) dd.mm.yy", weekday 0 = Sunday, year of the century.
QByteArray simClockText(const QDateTime& time);
// Day of the month of the rule's weekday: occurrence 0..3 the first to fourth, 4 the
// fifth or, in a month without one, the last.
int simNthWeekday(int occurrence, int weekday, int month, int year);
QDateTime simModuleUtc(const SimDeviceState& state, const QDateTime& hostUtc);
// Whether the module keeps summer time at this UTC instant: the start rule is read in
// local standard time, the stop rule in local summer time.
bool simInSummerTime(const SimDeviceState& state, const QDateTime& moduleUtc);

// "!TIME_UTC hh:mm:ss (w) dd.mm.yy (z)", the zone in minutes east of UTC.
QByteArray simTimeUtcLine(const SimDeviceState& state, const QDateTime& hostUtc);
// "!TIME_LOCAL hh:mm:ss (w) dd.mm.yy (S)", (S) in summer time, (W) otherwise.
QByteArray simTimeLocalLine(const SimDeviceState& state, const QDateTime& hostUtc);
// "modul_time_utc ..." and "modul_time_local ..." of the start message.
QList<QByteArray> simStartTimeLines(const SimDeviceState& state, const QDateTime& hostUtc);

struct SimClockSetting {
    QDateTime utc;
    int zoneMinutes = 0;
};
// The payload of a set-clock command, "hh:mm:ss (w) dd.mm.yy (z)": UTC time and date,
// the weekday (not checked: the module keeps its own calendar), the year of the
// century and the zone in minutes east of UTC.
std::optional<SimClockSetting> parseSimClockSetting(QByteArrayView payload);

} // namespace zek
