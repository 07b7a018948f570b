#include "core/app/control_inventory.h"
#include "core/app/panel_controls.h"
#include "core/app/panel_enabling.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string_view>

using namespace zek;

namespace {

// The enabled IDs of a table that lists each control once and `count` controls in all.
std::set<int> enabledIds(const EnableTable& table, std::size_t count) {
    std::set<int> listed, ids;
    for (const EnableEntry& entry : table) {
        EXPECT_TRUE(listed.insert(entry.id).second) << "listed twice: " << entry.id;
        if (entry.enabled)
            ids.insert(entry.id);
    }
    EXPECT_EQ(listed.size(), count);
    return ids;
}

// C connected, L and T the capability letters, A logger active, P PC time, D automatic DST.
PanelConditions when(std::string_view f) {
    auto has = [f](char c) { return f.find(c) != std::string_view::npos; };
    return {has('C'), has('L'), has('T'), has('A'), has('P'), has('D')};
}

std::set<int> unite(std::initializer_list<std::set<int>> sets) {
    std::set<int> all;
    for (const auto& s : sets)
        all.insert(s.begin(), s.end());
    return all;
}

const std::set<int> kRowButtons = {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108,
                                   5109, 5202, 5201, 5135, 5140, 5137, 5139, 5136, 5138};
const std::set<int> kLogger = unite({kRowButtons, {5199, 5196, 5195}});
const std::set<int> kClockBase = {5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216, 5215, 5120, 5118};
const std::set<int> kManual = unite({kClockBase, {5156, 5159, 5214}});
const std::set<int> kRuleCombos = {5133, 5127, 5130, 5131, 5134, 5128, 5129, 5132};
const std::set<int> kRuleTexts = {5125, 5126, 5141, 5142};
const std::set<int> kSnmp = {5200, 5203, 5178};

} // namespace

TEST(PanelEnabling, EachPanelFollowsItsConditions) {
    const struct {
        const char* when;
        std::set<int> buttons, clock, snmp;
    } cases[] = {
        {"LTAPD", {}, {}, {}},
        {"C", kRowButtons, {}, {}},
        {"CTAD", unite({kRowButtons, {5197, 5198}}), {}, kSnmp}, // no letter L: the clock panel stays off
        {"CLD", kLogger, kRuleTexts, {}},
        {"CL", kLogger, {}, {}},
        {"CLAP", kLogger, kClockBase, {}},
        {"CLA", kLogger, kManual, {}},
        {"CLTAPD", unite({kLogger, {5197, 5198}}), unite({kClockBase, kRuleCombos, kRuleTexts}), kSnmp},
        {"CLAD", kLogger, unite({kManual, kRuleCombos, kRuleTexts}), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        EXPECT_EQ(enabledIds(sessionButtonEnabling(when(c.when)), 23), c.buttons);
        EXPECT_EQ(enabledIds(clockPanelEnabling(when(c.when)), 27), c.clock);
        EXPECT_EQ(enabledIds(snmpPanelEnabling(when(c.when)), 3), c.snmp);
    }
}

TEST(PanelEnabling, TrapRowsNeedLetterTAndTheirBox) {
    const struct {
        const char* when;
        bool checked;
        TrapRowEnabling expected;
    } cases[] = {
        {"CT", true, {true, true, false}},   // row on
        {"CT", false, {true, false, true}},  // switched off while usable: zeroed
        {"T", true, {false, false, false}},  // not connected: off, edits kept
        {"CL", true, {false, false, false}}, // no letter T: off, edits kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(trapRowEnabling(when(c.when), c.checked), c.expected) << c.when << c.checked;
}

// A control has at most one owning panel, and every control a panel names is one of the
// dialog's: a wrong number would leave the panel without its control.
TEST(PanelControls, EachControlHasOneOwner) {
    std::map<int, int> owner;
    for (const Panel panel : kPanels) {
        const PanelControls c = panelControls(panel);
        for (const std::vector<int>* ids : {&c.owned, &c.enables, &c.seen})
            for (const int id : *ids)
                EXPECT_NE(findControlSpec(id), nullptr) << "panel " << int(panel) << " names " << id;
        for (const int id : c.owned) {
            const auto [at, first] = owner.emplace(id, int(panel));
            EXPECT_TRUE(first || at->second == int(panel))
                << id << " owned by panels " << at->second << " and " << int(panel);
        }
    }
    EXPECT_GT(owner.size(), 80u);
}
