#include "core/clock/clock_texts.h"
#include "core/clock/time_entry.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zek;

namespace {

// 05.12.26, a Saturday: 21:05:09 local on a PC one hour east of UTC.
const PcTime kPc{{2026, 12, 5, 20, 5, 9}, 6, {2026, 12, 5, 21, 5, 9}, 6, 60};
// The window of the last Sundays of March 02:00 and October 03:00 in 2026.
const SummerWindow k2026{828064800, 846212400};

} // namespace

TEST(ClockTexts, PcAndComputedTexts) {
    EXPECT_EQ(PcUtcText(kPc), "20:05:09 (6) 05.12.26 (60)");
    EXPECT_EQ(PcLocalText(kPc, true, "x"), "21:05:09        05.12.26");
    EXPECT_EQ(PcLocalText(kPc, false, " (x)"), "21:05:09 (6) 05.12.26 (x)");
    const struct {
        ClockEntries entries;
        const char* text;
    } rows[] = {
        {{true, true, true, {}, "", 0, k2026}, ""},
        {{false, false, true, {}, "", 0, k2026}, ""},
        {{false, true, true, {}, "", 0, k2026}, "   21:05:09 (6) 05.12.26 (W)"},
        {{false, true, false, {10, 6, 26}, "15:04:00 ", 60, k2026}, "   17:04:00 (3) 10.06.26 (S)"},
        {{false, true, false, {10, 6, 26}, "15:04:00 ", 60, {}}, "   16:04:00 (3) 10.06.26 (W)"},
        {{false, true, false, {10, 6, 26}, "bad", 60, k2026}, "   00:00:00 (6) 01.01.00 (W)"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ComputedLocalText(kPc, r.entries), r.text);
}

TEST(ClockTexts, ManualPayloadAndSummerCases) {
    const ManualClock m = manualClock({5, 1, 26}, "00:30:00 ", 60);
    EXPECT_EQ(setClockCommandText(SetClockPayload(m.utc, 60)), "!TIME_UTC 23:30:00 (0) 04.01.26 (60)\r");
    const ManualClock june = manualClock({10, 6, 26}, "15:04:00 ", 60);
    EXPECT_EQ(summerCase(k2026, june.local), SummerCase::Summer);
    EXPECT_EQ(SetClockPayload(june.utc - 3600, 60), "13:04:00 (3) 10.06.26 (60)");
    // Before 2000 the count wraps into 2136, which the payload shows as it is.
    EXPECT_EQ(SetClockPayload(manualClock({1, 1, 0}, "00:30:00 ", 60).utc, 60),
              "05:58:16 (3) 07.02.136 (60)");
    const struct {
        const char* time;
        int day, month;
        SummerCase expected;
    } rows[] = {
        {"01:59:59 ", 29, 3, SummerCase::Standard},    {"02:00:00 ", 29, 3, SummerCase::SkippedHour},
        {"02:59:59 ", 29, 3, SummerCase::SkippedHour}, {"03:00:00 ", 29, 3, SummerCase::Summer},
        {"01:59:59 ", 25, 10, SummerCase::Summer},     {"02:00:00 ", 25, 10, SummerCase::RepeatedHour},
        {"03:00:00 ", 25, 10, SummerCase::Standard}};
    for (const auto& r : rows) {
        const ManualDate date{std::uint8_t(r.day), std::uint8_t(r.month), 26};
        EXPECT_EQ(summerCase(k2026, manualClock(date, r.time, 60).local), r.expected) << r.time << r.month;
        EXPECT_EQ(summerCase({}, manualClock(date, r.time, 60).local), SummerCase::Standard);
    }
}

TEST(ClockTexts, ReplyCuts) {
    using K = ReplyKind;
    const std::optional<std::string> none;
    const struct {
        K kind;
        const char* line;
        bool compact;
        std::optional<std::string> utc, local, zone;
    } rows[] = {
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (60)", true, "13:04:00 (3) 10.06.26 (60)", none,
         "+1.00"},
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (345)", true, "13:04:00 (3) 10.06.26 (345)", none,
         "+5.45"},
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (-570)", true, "13:04:00 (3) 10.06.26 (-570)", none,
         "-9.30"},
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (-30)", true, "13:04:00 (3) 10.06.26 (-30)", none,
         "-0.30"},
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (0)", true, "13:04:00 (3) 10.06.26 (0)", none, "+0.00"},
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (x)", true, "13:04:00 (3) 10.06.26 (x)", none, none},
        {K::TimeUtc, "!TIME_UTC 13:04:00 (3) 10.06.26 (99999999999)", true,
         "13:04:00 (3) 10.06.26 (99999999999)", none, "+35791394.07"},
        {K::TimeUtc, "!TIME_UTC No RTC", true, "No RTC", none, none},
        {K::TimeUtc, "!TIME_UTC ", true, none, none, none},
        {K::TimeLocal, "!TIME_LOCAL 10:11:12 (4) 10.12.26 (W)", true, none, "10:11:12 10.12.26 (W)", none},
        {K::TimeLocal, "!TIME_LOCAL 10:11:12 (4) 10.12.26 (W)", false, none, "10:11:12 (4) 10.12.26 (W)",
         none},
        {K::TimeLocal, "!TIME_LOCAL 10:11", true, none, "10:11", none},
        {K::TimeLocal, "!TIME_LOCAL No RTC", false, none, "?", none},
        {K::TimeLocal, "!TIME_LOCAL ", true, none, none, none},
        {K::ModulTimeUtc, "modul_time_utc No RTC", true, "?", none, none},
        {K::ModulTimeUtc, "modul_time_utc 13:04:00 (3) 10.06.26", true, "13:04:00 (3) 10.06.26", none, none},
        {K::ModulTimeUtc, "modul_time_utc x", true, none, none, none},
        {K::ModulTimeLocal, "modul_time_local 15:04:00 (3) 10.06.26", true, none, "15:04:00 10.06.26", none},
        {K::ModulTimeLocal, "modul_time_local 15:04:00 (3) 10.06.26", false, none, "15:04:00 (3) 10.06.26",
         none},
        {K::ModulTimeLocal, "modul_time_local No RTC", true, none, "?", none},
        {K::ModulTimeLocal, "modul_time_local 1", true, none, none, none},
    };
    for (const auto& r : rows) {
        const ClockReplyEffect e = clockReplyEffect(r.kind, r.line, r.compact);
        EXPECT_EQ(e.utcTime, r.utc) << r.line;
        EXPECT_EQ(e.localTime, r.local) << r.line;
        EXPECT_EQ(e.zone, r.zone) << r.line;
    }
}

// Keystrokes as the edit makes them: the text after the key and the caret behind it, then the
// handler's replacement and its echo.
TEST(TimeEntry, Overtype) {
    const struct {
        const char* key; // a typed text; "\b" backspace, "\x7f" delete, "*" select all and type 1
        std::size_t caretBefore;
        const char* shown;
        std::size_t caretAfter;
    } rows[] = {
        {"2", 0, "20:30:00 ", 1},    {"5", 1, "20:30:00 ", 1}, {"3", 1, "23:30:00 ", 3},
        {"4", 8, "23:30:00 ", 8},    {"a", 3, "23:30:00 ", 3}, {"\b", 4, "23:30:00 ", 2},
        {"\x7f", 4, "23:30:00 ", 3}, {"*", 9, "23:30:00 ", 0}, {"12:34:56 and more", 0, "23:30:00 ", 9},
        {"9", 6, "23:30:00 ", 6},    {"5", 6, "23:30:50 ", 7},
    };
    TimeFieldState state;
    state.validator.accept("14:30:00 ");
    std::string field = "14:30:00 ";
    for (const auto& r : rows) {
        std::string text = field;
        std::size_t caret = r.caretBefore;
        if (r.key == std::string("\b"))
            text.erase(--caret, 1);
        else if (r.key == std::string("\x7f"))
            text.erase(caret, 1);
        else if (r.key == std::string("*"))
            text = "1", caret = 1;
        else
            text.insert(caret, r.key), caret += std::strlen(r.key);
        state = timeFieldFocus(state, r.caretBefore, r.caretBefore);
        TimeFieldStep step = timeFieldUpdate(state, text, caret);
        ASSERT_TRUE(step.replacement) << r.key;
        field = *step.replacement;
        step = timeFieldUpdate(step.state, field, *step.caret);
        state = step.state;
        EXPECT_EQ(field, r.shown) << r.key << " at " << r.caretBefore;
        EXPECT_EQ(step.caret, r.caretAfter) << r.key << " at " << r.caretBefore;
        EXPECT_FALSE(step.replacement);
    }
}
