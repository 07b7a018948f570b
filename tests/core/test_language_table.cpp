#include "core/settings/language_table.h"
#include "core/settings/tooltip_registry.h"
#include "core/text/encodings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace zek;

namespace {

const std::filesystem::path kResources =
    std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "resources";

// "section/key" of every key line as the file spells it, to find keys the program never reads.
std::set<std::string> keysInFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::set<std::string> keys;
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('['))
            section = line.substr(1, line.find(']') - 1);
        else if (const auto equals = line.find('='); equals != std::string::npos && !line.starts_with(';'))
            keys.insert(section + "/" + line.substr(0, equals));
    }
    return keys;
}

} // namespace

TEST(LanguageTable, CaptionAndTooltipSplitAtTheFirstSemicolon) {
    const auto split = [](const char* value) {
        const CaptionTip parts = splitCaptionTip(value);
        return parts.caption + "|" + parts.tip;
    };
    EXPECT_EQ(split("Search;Start a new search"), "Search|Start a new search");
    EXPECT_EQ(split("IP:"), "IP:|IP:");
    EXPECT_EQ(split("a;b;c"), "a|b;c");
    EXPECT_EQ(split(";tip only"), "|tip only");
    EXPECT_EQ(split("caption only;"), "caption only|");
    EXPECT_EQ(split(""), "|");
}

TEST(LanguageTable, NamesSelectionsAndConnectCaptions) {
    EXPECT_EQ(languageFileName(0), "LANG01.ini");
    EXPECT_EQ(languageFileName(48), "LANG49.ini");
    EXPECT_EQ(languageNameKey(7), "LANG07");
    EXPECT_EQ(numberedKey("TXT_DST_DAY_", 7), "TXT_DST_DAY_7");

    // previous, count, default -> selected
    const std::array<int, 4> cases[] = {{2, 3, 0, 2}, {-1, 3, 0, 0},  {-1, 12, 9, 9}, {-1, 5, 4, 4},
                                        {7, 3, 0, 2}, {-1, 0, 4, -1}, {0, 7, 6, 0}};
    for (const auto& [previous, count, fallback, expected] : cases)
        EXPECT_EQ(keptSelection(previous, count, fallback), expected) << previous << " " << count;

    EXPECT_EQ(connectCaptionKey(SessionState::Idle), "BUTTON_CONNECT_CONNECT");
    EXPECT_EQ(connectCaptionKey(SessionState::LookingUp), "BUTTON_CONNECT_CANCEL");
    EXPECT_EQ(connectCaptionKey(SessionState::Connecting), "BUTTON_CONNECT_CANCEL");
    EXPECT_EQ(connectCaptionKey(SessionState::Connected), "BUTTON_CONNECT_DISCONNECT");
}

TEST(LanguageTable, EveryKeyIsReadOnce) {
    std::set<std::string> seen;
    for (const LanguageKey& key : languageKeys())
        for (const std::string& name : keyNames(key))
            EXPECT_TRUE(seen.insert(name).second) << name;
    EXPECT_EQ(seen.size(), 128u);
    EXPECT_TRUE(seen.count("TXT_ETH_MODE_0") && seen.count("TXT_ETH_MODE_4") &&
                seen.count("TXT_DST_MONTH_12") && seen.count("TXT_DST_NR_5") && !seen.count("TXT_DST_NR_0") &&
                !seen.count("TXT_TREE_SORT_0"));
}

TEST(TooltipRegistry, UpdatesInPlaceAndStopsAtAHundred) {
    TooltipRegistry registry;
    int controls[120];
    EXPECT_EQ(registry.set(&controls[0], "a"), TooltipRegistry::Result::Added);
    EXPECT_EQ(registry.set(&controls[0], "b"), TooltipRegistry::Result::Updated);
    EXPECT_EQ(*registry.tip(&controls[0]), "b");
    EXPECT_EQ(registry.size(), 1u);
    EXPECT_EQ(registry.attempts(), 1);
    for (int& control : controls)
        registry.set(&control, "x");
    EXPECT_EQ(registry.size(), TooltipRegistry::kCapacity);
    EXPECT_EQ(registry.attempts(), 120);
    EXPECT_EQ(registry.set(&controls[110], "y"), TooltipRegistry::Result::Full);
    EXPECT_EQ(registry.tip(&controls[110]), nullptr);
    EXPECT_EQ(registry.attempts(), 121);
    EXPECT_EQ(registry.set(&controls[99], "z"), TooltipRegistry::Result::Updated);
    registry.clear();
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_EQ(registry.attempts(), 0);
}

// Both parts where a key gives caption and tooltip, single-word tree labels, texts within
// their limits, distinct menu accelerators, and no key the program does not read.
TEST(ShippedLanguageFiles, GiveEveryKeyASoundText) {
    for (const char* name : {"LANG01.ini", "LANG02.ini"}) {
        SCOPED_TRACE(name);
        const IniFile file((kResources / name).string());
        ASSERT_EQ(file.status(), IniFile::Status::Read);
        std::set<std::string> known;
        std::map<int, std::set<char>> accelerators;
        for (const LanguageKey& key : languageKeys()) {
            for (const std::string& keyName : keyNames(key)) {
                SCOPED_TRACE(keyName);
                known.insert(std::string(key.section) + "/" + keyName);
                const std::string value = file.getString(key.section, keyName, "<missing>", 100000);
                EXPECT_FALSE(value.empty());
                EXPECT_NE(value, "<missing>");
                EXPECT_EQ(utf8Prefix(value, key.limit), value) << "longer than " << key.limit;
                const bool both = key.use == KeyUse::TipAndCaption || key.use == KeyUse::TipAndRowCaption;
                EXPECT_EQ(std::count(value.begin(), value.end(), ';'), both ? 1 : 0) << "a ';' cuts the text";
                EXPECT_TRUE(!both || !splitCaptionTip(value).caption.empty()) << "caption and tooltip";
                if (key.use == KeyUse::LeafLabel || keyName.starts_with("TXT_TREE_DHCP_")) {
                    EXPECT_EQ(value.find_first_of(" \t"), std::string::npos)
                        << "tree labels are single words";
                }
                if (key.use == KeyUse::MenuItem || key.use == KeyUse::PopupTitle) {
                    const auto amp = value.find('&');
                    ASSERT_NE(amp, std::string::npos);
                    const int scope = key.use == KeyUse::PopupTitle ? -1 : key.popup;
                    EXPECT_TRUE(accelerators[scope].insert(char(std::tolower(value[amp + 1]))).second)
                        << "accelerator used twice";
                }
            }
        }
        for (const std::string& key : keysInFile(kResources / name))
            EXPECT_TRUE(known.count(key)) << "unknown key " << key;
    }
}

TEST(ShippedLanguageFiles, TheDefaultSettingsOfferBothWithEnglishSelected) {
    const TProfile settings("BASIC_SETTINGS", (kResources / "MERIDON_Brisklink.ini").string());
    EXPECT_EQ(settings.GetString(languageNameKey(1)), "Deutsch");
    EXPECT_EQ(settings.GetString(languageNameKey(2)), "English");
    EXPECT_EQ(settings.GetString("LANGUAGE"), "English");
    EXPECT_EQ(settings.GetInt("ETH_INTERFACE", -5), 0);
    EXPECT_EQ(settings.GetInt("TREE_SORTING", -5), 0);
    const IniFile english((kResources / "LANG02.ini").string());
    EXPECT_EQ(english.getString("GROUPBOX_TELNET", "TXT_DST_DAY_7"), "Sunday");
    const IniFile german((kResources / "LANG01.ini").string());
    EXPECT_EQ(german.getString("GROUPBOX_TELNET", "TXT_DST_DAY_7"), "Sonntag");
}
