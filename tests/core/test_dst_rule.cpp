#include "core/clock/dst_rule.h"
#include "core/clock/dst_rule_words.h"
#include "core/session/reply_parser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>

using namespace zek;

// Lists: occurrence 0..4, weekday Monday first (Sunday last), month January first, hour.
TEST(DstRule, CommandReplyAndListIndexesRoundTrip) {
    const struct {
        DstRuleIndexes indexes;
        DstRule rule;
        const char* start;
    } rows[] = {
        {{4, 6, 2, 2}, {4, 0, 3, 2}, "!DST_START 4 0 3 2\r"}, // last Sunday of March, 02:00
        {{4, 6, 9, 3}, {4, 0, 10, 3}, "!DST_START 4 0 10 3\r"},
        {{0, 0, 0, 0}, {0, 1, 1, 0}, "!DST_START 0 1 1 0\r"}, // Monday is the first item
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.start);
        EXPECT_EQ(DstRule::fromIndexes(row.indexes), row.rule);
        EXPECT_EQ(row.rule.commandText(DstRuleRow::Start), row.start);
        const ParsedReply reply = ParseReply(std::string(row.start).substr(0, std::strlen(row.start) - 1));
        EXPECT_EQ(DstRule::fromReply(reply.values), row.rule);
        EXPECT_EQ(row.rule.indexes(), row.indexes);
    }
}

TEST(DstRule, NumbersNoListItemStandsFor) {
    EXPECT_EQ((DstRule{9, 7, 13, 24}.indexes()), (DstRuleIndexes{9, 6, 12, 24}));
    EXPECT_EQ((DstRule{-1, -1, 0, -5}.indexes()), (DstRuleIndexes{-1, 5, -1, -1}));
    EXPECT_EQ((DstRule{INT_MAX, INT_MAX, INT_MIN, INT_MIN}.indexes()), (DstRuleIndexes{INT_MAX, 0, -1, -1}));
    EXPECT_EQ((DstRule{0, -8, 1, 0}.indexes()[1]), -1);
}

// Every rule the lists can show, against the window's English item texts written out here.
TEST(DstRuleWords, EveryListRuleReadsInWordsAndBack) {
    const char* occurrences[] = {"first", "second", "third", "fourth", "last"};
    const char* weekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const char* months[] = {"January", "February", "March",     "April",   "May",      "June",
                            "July",    "August",   "September", "October", "November", "December"};
    for (int o = 0; o < 5; ++o)
        for (int w = 0; w < 7; ++w)
            for (int m = 1; m <= 12; ++m) {
                const int h = (o * 7 + w + m) % 24; // every hour comes round
                const DstRule rule{o, w, m, h};
                const std::string hh = (h < 10 ? "0" : "") + std::to_string(h), day = weekdays[w];
                const std::string words =
                    occurrences[o] + (" " + day) + " " + months[m - 1] + " " + hh + ":00";
                ASSERT_EQ(dstRuleWords(rule), words);
                std::string shouted = words;
                for (char& c : shouted)
                    c = char(std::toupper(static_cast<unsigned char>(c)));
                for (const std::string& text :
                     {words, shouted,
                      (o == 4 ? "Fifth  " : occurrences[o] + std::string(" ")) + day + "\t" + months[m - 1] +
                          " " + std::to_string(h) + (w % 2 ? ":00" : ""),
                      std::to_string(o) + " " + std::to_string(w) + " " + std::to_string(m) + " " + hh})
                    ASSERT_EQ(parseDstRuleText(text), rule) << text;
            }
    EXPECT_EQ(dstRuleWords(DstRule{9, 0, 13, 2}), "9 0 13 2");
    for (const char* bad : {"last Sunday March", "last Sunday March 24:00", "last Sunday March 02:30",
                            "last Sun March 2", "sixth Sunday March 2", "last Sunday March 2 x",
                            "4 Sunday 3 2", "last Sunday March 002", "last Sunday March -0", "5 0 3 2", ""})
        EXPECT_FALSE(parseDstRuleText(bad)) << bad;
}
