#include "core/clock/clock_texts.h"
#include "core/clock/time_entry.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace zek;

namespace {

// 05.12.26, a Saturday: 21:05:09 local on a PC one hour east of UTC.
const PcTime kPc{{2026, 12, 5, 20, 5, 9}, 6, {2026, 12, 5, 21, 5, 9}, 6, 60};
// The window of the last Sundays of March 02:00 and October 03:00 in 2026.
const SummerWindow k2026{828064800, 846212400};
// Sydney's of 2026, across the turn of the year: the first Sundays of October 02:00 and April 03:00.
const SummerWindow kSydney2026{844394400, 828673200};

} // namespace

TEST(ClockTexts, PcAndComputedTexts) {
    EXPECT_EQ(PcUtcText(kPc), "20:05:09 (6) 05.12.26 (60)");
    EXPECT_EQ(PcLocalText(kPc, true, "x"), "21:05:09        05.12.26");
    EXPECT_EQ(PcLocalText(kPc, false, " (x)"), "21:05:09 (6) 05.12.26 (x)");
    const std::pair<ClockEntries, const char*> rows[] = {
        {{true, true, true, {}, "", 0, k2026}, ""},
        {{false, false, true, {}, "", 0, k2026}, ""},
        {{false, true, true, {}, "", 0, k2026}, "   21:05:09 (6) 05.12.26 (W)"},
        {{false, true, false, {10, 6, 26}, "15:04:00 ", 60, k2026}, "   17:04:00 (3) 10.06.26 (S)"},
        {{false, true, false, {10, 6, 26}, "15:04:00 ", 60, {}}, "   16:04:00 (3) 10.06.26 (W)"},
        {{false, true, false, {15, 1, 26}, "12:00:00 ", 600, kSydney2026}, "   23:00:00 (4) 15.01.26 (S)"},
        {{false, true, false, {15, 7, 26}, "12:00:00 ", 600, kSydney2026}, "   22:00:00 (3) 15.07.26 (W)"},
    };
    for (const auto& [entries, text] : rows)
        EXPECT_EQ(ComputedLocalText(kPc, entries), text);
}

TEST(ClockTexts, ManualPayloadAndSummerCases) {
    EXPECT_EQ(setClockCommandText(SetClockPayload(manualClock({5, 1, 26}, "00:30:00 ", 60).utc, 60)),
              "!TIME_UTC 23:30:00 (0) 04.01.26 (60)\r");
    EXPECT_EQ(SetClockPayload(manualClock({10, 6, 26}, "15:04:00 ", 60).utc - 3600, 60),
              "13:04:00 (3) 10.06.26 (60)");
    // Before 2000 the count wraps into 2136, which the payload shows as it is.
    EXPECT_EQ(SetClockPayload(manualClock({1, 1, 0}, "00:30:00 ", 60).utc, 60),
              "05:58:16 (3) 07.02.136 (60)");
    const std::tuple<const char*, std::uint8_t, std::uint8_t, SummerCase> rows[] = {
        {"01:59:59 ", 29, 3, SummerCase::Standard},    {"02:00:00 ", 29, 3, SummerCase::SkippedHour},
        {"02:59:59 ", 29, 3, SummerCase::SkippedHour}, {"03:00:00 ", 29, 3, SummerCase::Summer},
        {"01:59:59 ", 25, 10, SummerCase::Summer},     {"02:00:00 ", 25, 10, SummerCase::RepeatedHour},
        {"03:00:00 ", 25, 10, SummerCase::Standard}};
    for (const auto& [time, day, month, expected] : rows) {
        const ClockSeconds local = manualClock({day, month, 26}, time, 60).local;
        EXPECT_EQ(summerCase(k2026, local), expected) << time << int(month);
        EXPECT_EQ(summerCase({}, local), SummerCase::Standard);
    }
}

TEST(ClockTexts, ReplyCuts) {
    using K = ReplyKind;
    const char* none = "-";
    const std::tuple<K, const char*, bool, const char*, const char*> rows[] = {
        {K::TimeUtc, "!TIME_UTC No RTC", true, "No RTC", none},
        {K::TimeUtc, "!TIME_UTC ", true, none, none},
        {K::TimeLocal, "!TIME_LOCAL 10:11:12 (4) 10.12.26 (W)", true, none, "10:11:12 10.12.26 (W)"},
        {K::TimeLocal, "!TIME_LOCAL 10:11:12 (4) 10.12.26 (W)", false, none, "10:11:12 (4) 10.12.26 (W)"},
        {K::TimeLocal, "!TIME_LOCAL No RTC", false, none, "?"},
        {K::TimeLocal, "!TIME_LOCAL ", true, none, none},
        {K::ModulTimeUtc, "modul_time_utc No RTC", true, "?", none},
        {K::ModulTimeUtc, "modul_time_utc 13:04:00 (3) 10.06.26", true, "13:04:00 (3) 10.06.26", none},
        {K::ModulTimeLocal, "modul_time_local 15:04:00 (3) 10.06.26", true, none, "15:04:00 10.06.26"},
        {K::ModulTimeLocal, "modul_time_local 15:04:00 (3) 10.06.26", false, none, "15:04:00 (3) 10.06.26"},
        {K::ModulTimeLocal, "modul_time_local No RTC", true, none, "?"},
    };
    for (const auto& [kind, line, compact, utc, local] : rows) {
        const ClockReplyEffect e = clockReplyEffect(kind, line, compact);
        EXPECT_EQ(e.utcTime.value_or(none), utc) << line;
        EXPECT_EQ(e.localTime.value_or(none), local) << line;
        EXPECT_FALSE(e.zone) << line;
    }
    // The zone from position 33 of "!TIME_UTC"; the UTC field shows the line from position 10.
    const char* zones[] = {"0", "345", "-570", "-30", "x", "99999999999", "-99999999999"};
    const char* shown[] = {"+0.00", "+5.45", "-9.30", "-0.30", none, "+35791394.07", "-35791394.08"};
    for (std::size_t i = 0; i < std::size(zones); ++i) {
        const std::string line = std::string("!TIME_UTC 13:04:00 (3) 10.06.26 (") + zones[i] + ")";
        const ClockReplyEffect e = clockReplyEffect(ReplyKind::TimeUtc, line, true);
        EXPECT_EQ(e.utcTime, line.substr(10));
        EXPECT_EQ(e.zone.value_or(none), shown[i]) << line;
    }
}

// Keystrokes as the edit makes them (a typed text; "\b" backspace, "\x7f" delete, "*" select
// all and type 1), then the handler's replacement and its echo. A refused key leaves the caret.
TEST(TimeEntry, Overtype) {
    const std::tuple<std::string, std::size_t, const char*, std::size_t> rows[] = {
        {"2", 0, "20:30:00 ", 1},    {"5", 1, "20:30:00 ", 1}, {"3", 1, "23:30:00 ", 3},
        {"4", 8, "23:30:00 ", 8},    {"a", 3, "23:30:00 ", 3}, {"\b", 4, "23:30:00 ", 2},
        {"\x7f", 4, "23:30:00 ", 3}, {"*", 9, "23:30:00 ", 0}, {"12:34:56 and more", 0, "23:30:00 ", 9},
        {"9", 6, "23:30:00 ", 6},    {"5", 6, "23:30:50 ", 7},
    };
    TimeFieldState state;
    state.validator.accept("14:30:00 ");
    std::string field = "14:30:00 ";
    for (const auto& [key, before, shown, after] : rows) {
        std::string text = field;
        std::size_t caret = before;
        if (key == "\b")
            text.erase(--caret, 1);
        else if (key == "\x7f")
            text.erase(caret, 1);
        else if (key == "*")
            text = "1", caret = 1;
        else
            text.insert(caret, key), caret += key.size();
        TimeFieldStep step = timeFieldUpdate(timeFieldFocus(state, before, before), text, caret);
        ASSERT_TRUE(step.replacement) << key;
        field = *step.replacement;
        step = timeFieldUpdate(step.state, field, *step.caret);
        state = step.state;
        EXPECT_EQ(field, shown) << key << " at " << before;
        EXPECT_EQ(step.caret, after) << key << " at " << before;
        EXPECT_FALSE(step.replacement);
    }
}
