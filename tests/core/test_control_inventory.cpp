#include "core/app/control_ids.h"
#include "core/app/control_inventory.h"
#include "core/app/panel_enabling.h"
#include "core/session/command_texts.h"
#include "core/settings/language_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <span>
#include <vector>

using namespace zek;
using enum ControlKind;

namespace {

struct Rect {
    int x, y, w, h;
    bool contains(const Rect& r) const {
        return r.x >= x && r.y >= y && r.x + r.w <= x + w && r.y + r.h <= y + h;
    }
    bool intersects(const Rect& r) const {
        return r.x < x + w && x < r.x + r.w && r.y < y + h && y < r.y + r.h;
    }
};

Rect rectOf(const ControlSpec& spec) {
    return {spec.x, spec.y, spec.w, spec.h};
}

// Each control exists in the inventory and is of one of the kinds its user expects.
void expectKind(std::span<const int> ids, std::initializer_list<ControlKind> kinds) {
    for (const int id : ids) {
        const ControlSpec* spec = findControlSpec(id);
        ASSERT_NE(spec, nullptr) << id;
        EXPECT_TRUE(std::find(kinds.begin(), kinds.end(), spec->kind) != kinds.end()) << id;
    }
}

void expectKind(int id, std::initializer_list<ControlKind> kinds) {
    expectKind(std::span(&id, 1), kinds);
}

const std::initializer_list<ControlKind> kButtons = {PushButton, DefaultPushButton};
const std::initializer_list<ControlKind> kCaptioned = {GroupBox,          Text,    TextRight, PushButton,
                                                       DefaultPushButton, CheckBox};

} // namespace

TEST(ControlInventory, RowTablesNameControlsOfTheirKind) {
    for (const ctl::TrapRow& row : ctl::kTrapRows) {
        expectKind(row.checkBox, {CheckBox});
        expectKind(row.edits, {Edit});
        expectKind(std::array{row.readButton, row.setButton}, kButtons);
    }
    for (const ctl::DstRuleControls& row : ctl::kDstRuleRows) {
        expectKind(std::array{row.label, row.preview}, {Text});
        expectKind(std::array{row.readButton, row.setButton}, kButtons);
        expectKind(row.lists(), {DropDownList});
    }
    for (const auto& [letter, id] : ctl::kFeatureLetters) {
        expectKind(id, {CheckBox});
        EXPECT_EQ(std::string(findControlSpec(id)->text), std::string(1, letter));
    }
}

TEST(ControlInventory, CoreTablesNameExistingControls) {
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
            EXPECT_TRUE(id == 0 || findControlSpec(id)) << key.key << " " << id;
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
    std::vector<Rect> insides; // of the group boxes, below their titles
    for (const ControlSpec& g : all)
        if (g.kind == GroupBox)
            insides.push_back({g.x + 1, g.y + kGroupTitleDu, g.w - 2, g.h - kGroupTitleDu - 1});
    EXPECT_EQ(insides.size(), 7u);
    EXPECT_EQ(findControlSpec(0), nullptr);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const ControlSpec& a = all[i];
        EXPECT_TRUE(a.id == 0 || findControlSpec(a.id) == &a) << "one entry per ID: " << a.id;
        if (a.kind == GroupBox)
            continue;
        const Rect r = rectOf(a);
        const auto owner = std::find_if(insides.begin(), insides.end(), [&](const Rect& inside) {
            return inside.contains({r.x + r.w / 2, r.y + r.h / 2, 1, 1});
        });
        EXPECT_TRUE(owner == insides.end() ? outsideGroups.count(a.id) : owner->contains(r))
            << a.id << " " << a.text;
        for (std::size_t j = i + 1; j < all.size() && !(a.flags & Hidden); ++j)
            EXPECT_FALSE(all[j].kind != GroupBox && !(all[j].flags & Hidden) && r.intersects(rectOf(all[j])))
                << a.id << " and " << all[j].id;
    }
}
