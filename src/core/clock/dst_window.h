#pragma once

#include "core/clock/calendar.h"
#include "core/clock/clock_texts.h"
#include "core/clock/dst_rule.h"

#include <string>

namespace zek {

// Day of the month (1..31) of the n-th weekday: occurrence 0 first .. 3 fourth, 4 the fifth
// or, in a month without one, the last; weekday 0 Sunday .. 6 Saturday; the year 2000..2099.
int NthWeekdayOfMonth(int occurrence, int weekday, int month, int year);

// The year the rules are worked out for: the PC's local year while the PC clock sets the
// module, else the year of the entered date.
int yearInUse(bool usePcTime, int pcLocalYear, const ManualDate& date);

// `ClockSeconds` of a rule's switch instant in a year: local standard time for a start
// rule, local summer time for a stop rule. 0 for a rule no list item stands for.
ClockSeconds DstSwitchInstant(const DstRule& rule, int year);
// `DstStart` and `DstStop` of the year: the summer-time window the two rules give.
SummerWindow summerWindowOf(const DstRule& start, const DstRule& stop, int year);

// For a local standard time: within the window's summer time ("(S)").
inline bool InSummerTime(const SummerWindow& window, ClockSeconds localStandard) {
    return window.contains(localStandard);
}

// What setting the module clock from an entered local wall-clock time does under
// "Automatic DST", for its UTC value from the zone's offset alone.
struct SummerCorrection {
    SummerCase when;
    ClockSeconds utc; // the value to send
    bool send;        // false in the skipped hour: the time is refused
};
// `repeatedHourIsSummer` is the answer to the question in the hour that occurs twice
// (true: daylight saving time); the other cases do not look at it.
SummerCorrection SummerTimeCorrection(const SummerWindow& window, ClockSeconds local, ClockSeconds utc,
                                      bool repeatedHourIsSummer);

// A rule's date preview in the main window: compact "dd.mm.yy", extended
// "dd.mm.yy (w) (seconds)"; "?" for a rule no list item stands for.
struct RulePreview {
    ClockSeconds instant = 0;
    std::string text;
};
RulePreview rulePreview(const DstRule& rule, int year, bool compactView);
// The DST Settings dialog's preview: "dd.mm.yy" of the rule's day, the hour left out.
std::string dialogRulePreview(const DstRule& rule, int year);

} // namespace zek
