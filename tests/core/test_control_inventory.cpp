#include "core/app/control_ids.h"
#include "core/app/control_inventory.h"
#include "core/session/command_texts.h"
#include "core/session/panel_enabling.h"
#include "core/settings/language_table.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <vector>

using namespace zek;
using enum ControlKind;

namespace {

struct Rect {
    int x, y, w, h;
    bool contains(const Rect& r) const {
        return r.x >= x && r.y >= y && r.x + r.w <= x + w && r.y + r.h <= y + h;
    }
    bool containsPoint(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    bool intersects(const Rect& r) const {
        return r.x < x + w && x < r.x + r.w && r.y < y + h && y < r.y + r.h;
    }
};

Rect rectOf(const ControlSpec& spec) {
    return {spec.x, spec.y, spec.w, spec.h};
}

// The control exists in the inventory and is of one of the kinds its user expects.
void expectKind(int id, std::initializer_list<ControlKind> kinds) {
    const ControlSpec* spec = findControlSpec(id);
    ASSERT_NE(spec, nullptr) << id;
    EXPECT_TRUE(std::find(kinds.begin(), kinds.end(), spec->kind) != kinds.end()) << id;
}

const std::initializer_list<ControlKind> kButtons = {PushButton, DefaultPushButton};
const std::initializer_list<ControlKind> kCaptioned = {GroupBox,          Text,    TextRight, PushButton,
                                                       DefaultPushButton, CheckBox};

} // namespace

TEST(ControlInventory, RowTablesNameControlsOfTheirKind) {
    for (const auto* edits : {&ctl::kIpEdits, &ctl::kNetmaskEdits, &ctl::kGatewayEdits})
        for (const int id : *edits)
            expectKind(id, {Edit});
    for (const int id : ctl::kMacEdits)
        expectKind(id, {Edit});
    for (const int id : ctl::kModuleInfoEdits)
        expectKind(id, {Edit});
    for (const ctl::TrapRow& row : ctl::kTrapRows) {
        expectKind(row.checkBox, {CheckBox});
        for (const int id : row.edits)
            expectKind(id, {Edit});
        expectKind(row.readButton, kButtons);
        expectKind(row.setButton, kButtons);
    }
    for (const ctl::DstRuleControls& row : ctl::kDstRuleRows) {
        expectKind(row.label, {Text});
        expectKind(row.preview, {Text});
        expectKind(row.readButton, kButtons);
        expectKind(row.setButton, kButtons);
        for (const int id : row.lists())
            expectKind(id, {DropDownList});
    }
    for (const auto& [letter, id] : ctl::kFeatureLetters) {
        expectKind(id, {CheckBox});
        EXPECT_EQ(std::string(findControlSpec(id)->text), std::string(1, letter));
    }
    for (const int id : ctl::kSelectionControls)
        EXPECT_NE(findControlSpec(id), nullptr) << id;
}

TEST(ControlInventory, CoreTablesNameExistingControls) {
    for (const ReadButton& button : readButtons())
        expectKind(button.id, kButtons);
    PanelConditions all{true, true, true, true, true, true};
    for (const EnableTable& table :
         {sessionButtonEnabling(all), clockPanelEnabling(all), snmpPanelEnabling(all)})
        for (const EnableEntry& entry : table)
            EXPECT_NE(findControlSpec(entry.id), nullptr) << entry.id;
    for (const LanguageKey& key : languageKeys()) {
        if (key.use == KeyUse::Caption || key.use == KeyUse::TipAndCaption ||
            key.use == KeyUse::TipAndRowCaption || key.use == KeyUse::ConnectCaption)
            expectKind(key.control, kCaptioned);
        for (const int id : key.tips)
            if (id != 0)
                EXPECT_NE(findControlSpec(id), nullptr) << key.key;
        if (key.list)
            for (const int id : key.list->lists)
                if (id != 0)
                    expectKind(id, {DropDownList});
    }
}

TEST(ControlInventory, LayoutKeepsControlsInsideTheirGroupsAndApart) {
    // The view button, the logo placeholder and the bitmap static parked left of the dialog.
    const std::set<int> outsideGroups = {ctl::ViewButton, ctl::LogoPlace, ctl::BitmapStatic};
    constexpr int kGroupTitleDu = 8;
    const auto all = controlInventory();
    std::vector<Rect> groups;
    for (const ControlSpec& spec : all)
        if (spec.kind == GroupBox)
            groups.push_back(rectOf(spec));
    EXPECT_EQ(groups.size(), 7u);
    EXPECT_EQ(findControlSpec(0), nullptr);

    for (std::size_t i = 0; i < all.size(); ++i) {
        const ControlSpec& a = all[i];
        if (a.id != 0)
            EXPECT_EQ(findControlSpec(a.id), &a);
        if (a.kind == GroupBox)
            continue;
        const Rect r = rectOf(a);
        const Rect* owner = nullptr;
        for (const Rect& group : groups)
            if (group.containsPoint(r.x + r.w / 2, r.y + r.h / 2))
                owner = &group;
        if (!owner)
            EXPECT_TRUE(outsideGroups.count(a.id)) << a.id << " " << a.text;
        else
            EXPECT_TRUE(
                (Rect{owner->x + 1, owner->y + kGroupTitleDu, owner->w - 2, owner->h - kGroupTitleDu - 1})
                    .contains(r))
                << a.id << " " << a.text;
        if (a.flags & Hidden)
            continue;
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            const ControlSpec& b = all[j];
            if (b.kind != GroupBox && !(b.flags & Hidden))
                EXPECT_FALSE(r.intersects(rectOf(b))) << a.id << " and " << b.id;
        }
    }
}

TEST(ControlInventory, CompactViewHidesTheSessionRowsAndTheDebugTexts) {
    std::set<int> hidden;
    for (const ControlSpec& spec : controlInventory())
        if (spec.flags & HiddenInCompact)
            hidden.insert(spec.id);
    std::set<int> expected = {
        ctl::ClockRead,        ctl::LoggerRead,      ctl::ClockSet,      ctl::LoggerSet,
        ctl::SnmpLocationRead, ctl::SnmpLocationSet, ctl::DstUseSet,     ctl::DstUseRead,
        ctl::SoftwareRead,     ctl::SoftwareText,    ctl::SoftwareLabel, ctl::Reboot,
        ctl::TechnicalWebsite, ctl::UserWebsite,     ctl::ZekUtcTime,    ctl::ZekUtcLabel,
        ctl::PcUtcTime,        ctl::PcUtcLabel,      ctl::SetMac};
    for (const ctl::TrapRow& row : ctl::kTrapRows)
        expected.insert({row.readButton, row.setButton});
    for (const ctl::DstRuleControls& row : ctl::kDstRuleRows)
        expected.insert({row.readButton, row.setButton});
    EXPECT_EQ(hidden, expected);
}
