#include "core/clock/dst_window.h"

#include <cstdio>

namespace zek {

namespace {

std::string dateText(int day, int month, int year) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d", day, month, year - 2000);
    return text;
}

} // namespace

int NthWeekdayOfMonth(int occurrence, int weekday, int month, int year) {
    const int firstWeekday = WeekdayOf(1, month, year);
    int offset = weekday - firstWeekday;
    if (offset < 0)
        offset += 7;
    int day = occurrence * 7 + offset + 1;
    if (day > MonthLength(month, year))
        day -= 7;
    return day;
}

int yearInUse(bool usePcTime, int pcLocalYear, const ManualDate& date) {
    return usePcTime ? pcLocalYear : 2000 + date.year;
}

ClockSeconds DstSwitchInstant(const DstRule& rule, int year) {
    if (!rule.valid())
        return 0;
    const int day = NthWeekdayOfMonth(rule.occurrence, rule.weekday, rule.month, year);
    return ToClockSeconds(year, rule.month, day, rule.hour, 0, 0);
}

SummerWindow summerWindowOf(const DstRule& start, const DstRule& stop, int year) {
    return {DstSwitchInstant(start, year), DstSwitchInstant(stop, year)};
}

SummerCorrection SummerTimeCorrection(const SummerWindow& window, ClockSeconds local, ClockSeconds utc,
                                      bool repeatedHourIsSummer) {
    const SummerCase when = summerCase(window, local);
    switch (when) {
    case SummerCase::Standard:
        return {when, utc, true};
    case SummerCase::Summer:
        return {when, utc - 3600u, true};
    case SummerCase::RepeatedHour:
        return {when, repeatedHourIsSummer ? utc - 3600u : utc, true};
    case SummerCase::SkippedHour:
        break;
    }
    return {when, utc, false};
}

RulePreview rulePreview(const DstRule& rule, int year, bool compactView) {
    if (!rule.valid())
        return {0, "?"};
    const int day = NthWeekdayOfMonth(rule.occurrence, rule.weekday, rule.month, year);
    RulePreview preview{DstSwitchInstant(rule, year), dateText(day, rule.month, year)};
    if (!compactView)
        preview.text += " (" + std::to_string(WeekdayOf(day, rule.month, year)) + ") (" +
                        std::to_string(preview.instant) + ")";
    return preview;
}

std::string dialogRulePreview(const DstRule& rule, int year) {
    if (!rule.valid())
        return "?";
    return dateText(NthWeekdayOfMonth(rule.occurrence, rule.weekday, rule.month, year), rule.month, year);
}

} // namespace zek
