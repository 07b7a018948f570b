#include "core/session/panel_enabling.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace zek;

namespace {

std::map<int, bool> asMap(const EnableTable& table) {
    std::map<int, bool> map;
    for (const EnableEntry& entry : table)
        EXPECT_TRUE(map.emplace(entry.id, entry.enabled).second) << "listed twice: " << entry.id;
    return map;
}

std::set<int> enabledIds(const EnableTable& table) {
    std::set<int> ids;
    for (const EnableEntry& entry : table)
        if (entry.enabled)
            ids.insert(entry.id);
    return ids;
}

const std::set<int> kRowButtons = {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108,
                                   5109, 5202, 5201, 5135, 5140, 5137, 5139, 5136, 5138};
const std::set<int> kLoggerButtons = {5199, 5196, 5195};
const std::set<int> kTrapButtons = {5197, 5198};
const std::set<int> kClockBase = {5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216, 5215, 5120, 5118};
const std::set<int> kManual = {5156, 5159, 5214};
const std::set<int> kRuleCombos = {5133, 5127, 5130, 5131, 5134, 5128, 5129, 5132};
const std::set<int> kRuleTexts = {5125, 5126, 5141, 5142};

std::set<int> unite(std::initializer_list<std::set<int>> sets) {
    std::set<int> all;
    for (const auto& s : sets)
        all.insert(s.begin(), s.end());
    return all;
}

} // namespace

TEST(PanelEnabling, SessionButtonsFollowConnectionAndLetters) {
    struct Case {
        const char* name;
        PanelConditions c;
        std::set<int> enabled;
    };
    const Case cases[] = {
        {"not connected, all letters", {false, true, true}, {}},
        {"connected, no letters", {true, false, false}, kRowButtons},
        {"connected, L", {true, true, false}, unite({kRowButtons, kLoggerButtons})},
        {"connected, T", {true, false, true}, unite({kRowButtons, kTrapButtons})},
        {"connected, L and T", {true, true, true}, unite({kRowButtons, kLoggerButtons, kTrapButtons})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EnableTable table = sessionButtonEnabling(c.c);
        EXPECT_EQ(asMap(table).size(), 23u);
        EXPECT_EQ(enabledIds(table), c.enabled);
    }
}

TEST(PanelEnabling, ClockPanelNeedsLetterLAndTheActiveLogger) {
    struct Case {
        const char* name;
        PanelConditions c;
        std::set<int> enabled;
    };
    // connected, L, T, active, PC time, automatic DST
    const Case cases[] = {
        {"not connected", {false, true, true, true, false, true}, {}},
        {"no letter L: the whole panel stays off", {true, false, true, true, false, true}, {}},
        {"logger inactive", {true, true, false, false, false, true}, kRuleTexts},
        {"logger inactive, no DST", {true, true, false, false, false, false}, {}},
        {"active, PC time, no DST", {true, true, false, true, true, false}, kClockBase},
        {"active, manual time", {true, true, false, true, false, false}, unite({kClockBase, kManual})},
        {"active, PC time, DST",
         {true, true, false, true, true, true},
         unite({kClockBase, kRuleCombos, kRuleTexts})},
        {"active, manual time, DST",
         {true, true, false, true, false, true},
         unite({kClockBase, kManual, kRuleCombos, kRuleTexts})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EnableTable table = clockPanelEnabling(c.c);
        EXPECT_EQ(asMap(table).size(), 27u);
        EXPECT_EQ(enabledIds(table), c.enabled);
    }
}

TEST(PanelEnabling, SnmpPanelAndTrapRowsNeedLetterT) {
    EXPECT_EQ(enabledIds(snmpPanelEnabling({true, true, true})), (std::set<int>{5200, 5203, 5178}));
    EXPECT_EQ(enabledIds(snmpPanelEnabling({true, true, false})), std::set<int>{});
    EXPECT_EQ(enabledIds(snmpPanelEnabling({false, false, true})), std::set<int>{});
    EXPECT_EQ(snmpPanelEnabling({}).size(), 3u);

    struct Case {
        const char* name;
        PanelConditions c;
        bool checked;
        TrapRowEnabling expected;
    };
    const Case cases[] = {
        {"checked and usable: row on", {true, false, true}, true, {true, true, false}},
        {"unchecked while usable: zeroed", {true, false, true}, false, {true, false, true}},
        {"not connected: off, edits kept", {false, false, true}, true, {false, false, false}},
        {"no letter T: off, edits kept", {true, true, false}, true, {false, false, false}},
        {"no letter T, unchecked", {true, true, false}, false, {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(trapRowEnabling(c.c, c.checked), c.expected);
    }
}

TEST(PanelEnabling, TrapRowControlsByRow) {
    ASSERT_NE(trapRowControls(1), nullptr);
    EXPECT_EQ(trapRowControls(1)->checkBox, 5170);
    EXPECT_EQ(trapRowControls(1)->edits, (std::array<int, 4>{5101, 5100, 5099, 5098}));
    EXPECT_EQ(trapRowControls(2)->edits, (std::array<int, 4>{5097, 5096, 5095, 5094}));
    EXPECT_EQ(trapRowControls(3)->edits, (std::array<int, 4>{5191, 5093, 5092, 5091}));
    EXPECT_EQ(trapRowControls(3)->checkBox, 5172);
    EXPECT_EQ(trapRowControls(2)->setButton, 5108);
    EXPECT_EQ(trapRowControls(3)->readButton, 5087);
    EXPECT_EQ(trapRowControls(0), nullptr);
    EXPECT_EQ(trapRowControls(4), nullptr);
}
