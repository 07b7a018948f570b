#include "core/clock/date_picker.h"
#include "core/clock/dst_window.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace zek;
namespace chr = std::chrono;

constexpr DstRule kEuStart{4, 0, 3, 2}, kEuStop{4, 0, 10, 3};

// Seconds from 2000-01-01 to a day and hour, by the standard library's calendar.
static ClockSeconds oracle(chr::sys_days day, int hour) {
    return ClockSeconds((day - chr::sys_days(chr::year(2000) / 1 / 1)).count() * 86400 + hour * 3600);
}

TEST(DstWindow, NthWeekdayOfMonth) {
    const struct {
        int n, weekday, month, year, day;
    } rows[] = {
        {0, 0, 3, 2026, 1},  {1, 0, 3, 2026, 8},   {4, 0, 3, 2026, 29}, {4, 0, 10, 2026, 25},
        {4, 3, 4, 2024, 24}, {4, 4, 10, 2024, 31}, {4, 4, 2, 2024, 29}, {4, 0, 2, 2025, 23},
    };
    for (const auto& r : rows)
        EXPECT_EQ(NthWeekdayOfMonth(r.n, r.weekday, r.month, r.year), r.day) << r.n << r.weekday << r.month;
}

// The European rules (last Sunday of March 02:00 standard time to last Sunday of October
// 03:00 summer time) and the US ones before and after 2007, as the tz database has them for
// Europe/Berlin and America/New_York, against the standard library's calendar.
TEST(DstWindow, SwitchInstantsAgreeWithTheStandardCalendar) {
    using chr::Sunday, chr::last;
    for (int y = 2001; y <= 2037; ++y) {
        const chr::year year(y);
        SCOPED_TRACE(y);
        EXPECT_EQ(DstSwitchInstant(kEuStart, y), oracle(chr::sys_days(year / chr::March / Sunday[last]), 2));
        EXPECT_EQ(DstSwitchInstant(kEuStop, y), oracle(chr::sys_days(year / chr::October / Sunday[last]), 3));
        const bool us2007 = y >= 2007;
        const SummerWindow us = us2007 ? summerWindowOf({1, 0, 3, 2}, {0, 0, 11, 2}, y)
                                       : summerWindowOf({0, 0, 4, 2}, {4, 0, 10, 2}, y);
        const chr::sys_days usStart = us2007 ? chr::sys_days(year / chr::March / Sunday[2])
                                             : chr::sys_days(year / chr::April / Sunday[1]);
        const chr::sys_days usStop = us2007 ? chr::sys_days(year / chr::November / Sunday[1])
                                            : chr::sys_days(year / chr::October / Sunday[last]);
        EXPECT_EQ(us.start, oracle(usStart, 2));
        EXPECT_EQ(us.stop, oracle(usStop, 2));
    }
}

TEST(DstWindow, PreviewsOf2026) {
    EXPECT_EQ(rulePreview(kEuStart, 2026, false).text, "29.03.26 (0) (828064800)");
    EXPECT_EQ(rulePreview(kEuStop, 2026, false).text, "25.10.26 (0) (846212400)");
    EXPECT_EQ(rulePreview(kEuStart, 2030, true).text, "31.03.30");
    // Before a language fills the lists no rule is selected.
    EXPECT_EQ(rulePreview(DstRule::fromIndexes({-1, -1, -1, 2}), 2026, false).text, "?");
    EXPECT_EQ(DstSwitchInstant({5, 0, 3, 2}, 2026), 0u);
    EXPECT_EQ(yearInUse(false, 2024, {1, 1, 30}), 2030);
}

// Summer time as the tz database has it, printed by tz_switches.py: per year the UTC instants
// at which it starts and ends in Sydney, Auckland, Berlin and New York.
const struct TzYear {
    int year;
    ClockSeconds switches[4][2];
} kTz[] = {
    {2008, 276451200, 260726400, 275839200, 260719200, 260154000, 278298000, 258361200, 278920800},
    {2009, 307900800, 292176000, 307288800, 292168800, 291603600, 309747600, 289810800, 310370400},
    {2010, 339350400, 323625600, 338738400, 323618400, 323053200, 341802000, 321865200, 342424800},
    {2011, 370800000, 355075200, 370188000, 355068000, 354502800, 373251600, 353314800, 373874400},
    {2012, 402854400, 386524800, 402242400, 386517600, 385952400, 404701200, 384764400, 405324000},
    {2013, 434304000, 418579200, 433692000, 418572000, 418006800, 436150800, 416214000, 436773600},
    {2014, 465753600, 450028800, 465141600, 450021600, 449456400, 467600400, 447663600, 468223200},
    {2015, 497203200, 481478400, 496591200, 481471200, 480906000, 499050000, 479113200, 499672800},
    {2016, 528652800, 512928000, 528040800, 512920800, 512355600, 531104400, 511167600, 531727200},
    {2017, 560102400, 544377600, 559490400, 544370400, 543805200, 562554000, 542617200, 563176800},
    {2018, 592156800, 575827200, 591544800, 575820000, 575254800, 594003600, 574066800, 594626400},
    {2019, 623606400, 607881600, 622994400, 607874400, 607309200, 625453200, 605516400, 626076000},
    {2020, 655056000, 639331200, 654444000, 639324000, 638758800, 656902800, 636966000, 657525600},
    {2021, 686505600, 670780800, 685893600, 670773600, 670208400, 688957200, 669020400, 689580000},
    {2022, 717955200, 702230400, 717343200, 702223200, 701658000, 720406800, 700470000, 721029600},
    {2023, 749404800, 733680000, 748792800, 733672800, 733107600, 751856400, 731919600, 752479200},
    {2024, 781459200, 765734400, 780847200, 765727200, 765162000, 783306000, 763369200, 783928800},
    {2025, 812908800, 797184000, 812296800, 797176800, 796611600, 814755600, 794818800, 815378400},
    {2026, 844358400, 828633600, 843746400, 828626400, 828061200, 846205200, 826268400, 846828000},
    {2027, 875808000, 860083200, 875196000, 860076000, 859510800, 878259600, 858322800, 878882400},
    {2028, 907257600, 891532800, 906645600, 891525600, 890960400, 909709200, 889772400, 910332000},
    {2029, 939312000, 922982400, 938700000, 922975200, 922410000, 941158800, 921222000, 941781600},
    {2030, 970761600, 955036800, 970149600, 955029600, 954464400, 972608400, 952671600, 973231200},
    {2031, 1002211200, 986486400, 1001599200, 986479200, 985914000, 1004058000, 984121200, 1004680800},
    {2032, 1033660800, 1017936000, 1033048800, 1017928800, 1017363600, 1036112400, 1016175600, 1036735200},
    {2033, 1065110400, 1049385600, 1064498400, 1049378400, 1048813200, 1067562000, 1047625200, 1068184800},
    {2034, 1096560000, 1080835200, 1095948000, 1080828000, 1080262800, 1099011600, 1079074800, 1099634400},
    {2035, 1128614400, 1112284800, 1128002400, 1112277600, 1111712400, 1130461200, 1110524400, 1131084000},
    {2036, 1160064000, 1144339200, 1159452000, 1144332000, 1143766800, 1161910800, 1141974000, 1162533600},
    {2037, 1191513600, 1175788800, 1190901600, 1175781600, 1175216400, 1193360400, 1173423600, 1193983200},
};
// Their rules (Sydney's and Auckland's since 2008, the US ones since 2007) and standard offsets.
const struct {
    DstRule start, stop;
    int zoneMinutes;
} kZones[] = {{{0, 0, 10, 2}, {0, 0, 4, 3}, 600},
              {{4, 0, 9, 2}, {0, 0, 4, 3}, 720},
              {kEuStart, kEuStop, 60},
              {{1, 0, 3, 2}, {0, 0, 11, 2}, -300}};

// Around both switches and at both ends of every year: where a local wall-clock time falls
// and the UTC value the clock set sends, and the "(S)" mark of a local standard time.
TEST(DstWindow, AgreesWithTheTzDatabase) {
    using S = SummerCase;
    for (const TzYear& tz : kTz)
        for (std::size_t z = 0; z < std::size(kZones); ++z) {
            const auto& zone = kZones[z];
            SCOPED_TRACE(testing::Message() << tz.year << " in zone " << zone.zoneMinutes);
            const SummerWindow window = summerWindowOf(zone.start, zone.stop, tz.year);
            const ClockSeconds offset = ClockSeconds(zone.zoneMinutes * 60);
            // In local standard time; the hour after `on` is skipped, the one after `off` repeated.
            const ClockSeconds on = tz.switches[z][0] + offset, off = tz.switches[z][1] + offset;
            const S newYear = on > off ? S::Summer : S::Standard;
            const std::pair<ClockSeconds, S> rows[] = {
                {ToClockSeconds(tz.year, 1, 1, 0, 0, 0), newYear},
                {off - 1, S::Summer},
                {off, S::RepeatedHour},
                {off + 3599, S::RepeatedHour},
                {off + 3600, S::Standard},
                {on - 1, S::Standard},
                {on, S::SkippedHour},
                {on + 3599, S::SkippedHour},
                {on + 3600, S::Summer},
                {ToClockSeconds(tz.year, 12, 31, 23, 59, 59), newYear},
            };
            for (const auto& [local, when] : rows)
                for (const bool answerSummer : {true, false}) {
                    const SummerCorrection c =
                        SummerTimeCorrection(window, local, local - offset, answerSummer);
                    EXPECT_EQ(c.when, when) << local;
                    const bool summer = when == S::Summer || (when == S::RepeatedHour && answerSummer);
                    EXPECT_EQ(c.send, when != S::SkippedHour) << local;
                    if (c.send) {
                        EXPECT_EQ(c.utc, local - offset - (summer ? 3600 : 0)) << local;
                    }
                }
            EXPECT_FALSE(InSummerTime(window, on - 1));
            EXPECT_TRUE(InSummerTime(window, on));
            EXPECT_TRUE(InSummerTime(window, off - 1));
            EXPECT_FALSE(InSummerTime(window, off));
        }
}

// While the stop rule is unknown (0), or when both rules give one instant, nothing is summer time.
TEST(DstWindow, EmptyWindows) {
    const ClockSeconds october = DstSwitchInstant({0, 0, 10, 2}, 2026);
    for (const SummerWindow window : {SummerWindow{october, 0}, SummerWindow{october, october}})
        for (const ClockSeconds local : {october - 1800, october + 1800, october + 7200}) {
            EXPECT_FALSE(InSummerTime(window, local));
            EXPECT_EQ(summerCase(window, local), SummerCase::Standard);
        }
}

TEST(DatePicker, DayGrid) {
    const struct {
        int dayIndex, monthIndex, yearIndex, count, chosen;
    } rows[] = {
        {30, 1, 9, 28, 28},  // 31.01.10 moved to February 2010
        {30, 1, 11, 29, 29}, // ... to February 2012
        {16, 2, 24, 31, 17}, // March 2025 shows 29 .. 31 again
        {-1, -1, -1, 31, 1}, // no selection: the first items
    };
    for (const auto& r : rows) {
        const DayGrid grid = UpdateDayGrid(r.dayIndex, r.monthIndex, r.yearIndex);
        EXPECT_EQ(std::pair(grid.dayCount, grid.chosenDay), std::pair(r.count, r.chosen));
        EXPECT_EQ(grid.look(r.chosen), DayLook::Chosen);
        EXPECT_EQ(grid.look(r.chosen == 1 ? 2 : 1), DayLook::Plain);
        EXPECT_EQ(grid.look(31), r.count < 31 ? DayLook::Hidden : DayLook::Plain);
    }
    EXPECT_EQ(UpdateDayGrid(30, 1, 11).date, (ManualDate{29, 2, 12}));
    EXPECT_EQ(dateFieldText({5, 12, 26}), "05.12.26");
    EXPECT_EQ(dayItems(28).back(), "28");
}
