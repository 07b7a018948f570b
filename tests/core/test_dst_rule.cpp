#include "core/clock/dst_rule.h"
#include "core/session/reply_parser.h"

#include <gtest/gtest.h>

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
