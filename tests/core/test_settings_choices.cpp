#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "core/settings/settings_choices.h"
#include "core/text/encodings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace zek;

namespace {

namespace fs = std::filesystem;

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& text : texts)
        out += (out.empty() ? "" : ",") + text;
    return out;
}

// A settings file in a directory of its own, removed afterwards.
class SettingsChoicesTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path() const { return (m_dir / kSettingsFileName).string(); }
    SettingsChoices resolve(int interfaces) const {
        return resolveSettings(TProfile(kSettingsSection, path()), interfaces);
    }

    fs::path m_dir = fs::temp_directory_path() / ("zek_settings_" + std::to_string(std::random_device{}()));
};

} // namespace

TEST_F(SettingsChoicesTest, SavedChoicesAgainstWhatThePcOffers) {
    const std::string s = "[BASIC_SETTINGS]\n", both = s + "LANG01=Deutsch\nLANG02=English\n";
    const std::string huge =
        s + "LANG01=" + std::string(200000, 'x') + "\nLANGUAGE=" + std::string(5000, 'x');
    // name, file (empty: none), PC interfaces, interface, languages, language, sort order,
    // the interface log, "|", the choice log
    const std::tuple<const char*, std::string, int, int, std::string, int, int, std::string> cases[] = {
        {"letter case ignored", both + "LANGUAGE=english\nETH_INTERFACE=2\nTREE_SORTING=1\n", 3, 2,
         "Deutsch,English", 1, 1, "|"},
        {"an empty key shifts the list", s + "LANG01=\nLANG02=English\nLANGUAGE=English\n", 1, 0, "English",
         0, 0, "|"},
        {"gaps and the 49th key", s + "LANG03=Deutsch\nLANG49=English\nLANG50=X\nLANGUAGE=ENGLISH\n", 1, 0,
         "Deutsch,English", 1, 0, "|"},
        {"no match", both + "LANGUAGE=Klingon\n", 1, 0, "Deutsch,English", -1, 0,
         "|Settings: LANGUAGE=Klingon is none of the listed languages"},
        {"none saved", both, 1, 0, "Deutsch,English", -1, 0, "|"},
        {"missing file", "", 2, 0, "", -1, 0, "|"},
        {"lines without =",
         s + "LANG01\n=\nnonsense\n\x01\x02\nLANG02=Deutsch\nLANGUAGE=deutsch\nTREE_SORTING=abc\n", 1, 0,
         "Deutsch", 0, 0, "|"},
        {"Windows-1252 names", s + "LANG01=Espa\xF1ol\nLANGUAGE=Espa\xF1ol\n", 1, 0, "Espa\xC3\xB1ol", 0, 0,
         "|"},
        {"interface beyond the list", s + "ETH_INTERFACE=99\n", 3, 0, "", -1, 0,
         "Settings: ETH_INTERFACE=99 names none of the 3 PC interfaces; the first one is used|"},
        {"negative interface", s + "ETH_INTERFACE=-1\n", 2, 0, "", -1, 0,
         "Settings: ETH_INTERFACE=-1 names none of the 2 PC interfaces; the first one is used|"},
        {"no interface at all", s + "ETH_INTERFACE=1\n", 0, -1, "", -1, 0, "|"},
        {"sort order too large", s + "TREE_SORTING=7\n", 1, 0, "", -1, 2,
         "|Settings: TREE_SORTING=7 is outside 0-2; 2 is used"},
        {"sort order negative", s + "TREE_SORTING=-4\n", 1, 0, "", -1, 0,
         "|Settings: TREE_SORTING=-4 is outside 0-2; 0 is used"},
        {"huge values are cut to the buffers", huge, 1, 0, std::string(kLanguageNameMax, 'x'), -1, 0,
         "|Settings: LANGUAGE=" + std::string(kProfileTextMax, 'x') + " is none of the listed languages"},
    };
    for (const auto& [name, file, interfaces, interface, languages, language, sort, log] : cases) {
        SCOPED_TRACE(name);
        fs::remove(path());
        if (!file.empty())
            std::ofstream(path(), std::ios::binary) << file;
        const SettingsChoices c = resolve(interfaces);
        EXPECT_EQ(std::tuple(c.interfaceIndex, joined(c.languages), c.languageIndex, c.sortOrder,
                             joined(c.interfaceLog) + "|" + joined(c.choiceLog)),
                  std::tuple(interface, languages, language, sort, log));
    }
}

TEST_F(SettingsChoicesTest, StoringKeepsOtherLinesAndCutsTheLanguage) {
    std::ofstream(path(), std::ios::binary) << "; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\n";
    ASSERT_TRUE(storeSettings(path(), 2, "Deutsch", 1));
    EXPECT_EQ(
        std::string(std::istreambuf_iterator<char>(std::ifstream(path(), std::ios::binary).rdbuf()), {}),
        "; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nETH_INTERFACE=2\r\nLANGUAGE=Deutsch\r\n"
        "TREE_SORTING=1\r\n");
    std::string name;
    for (int i = 0; i < 60; ++i)
        name += "\xC3\xA4";
    ASSERT_TRUE(storeSettings(path(), 0, name, 0));
    EXPECT_EQ(TProfile(kSettingsSection, path()).GetString("LANGUAGE"),
              utf8Prefix(name, kLanguageSettingMax));
    EXPECT_EQ(resolve(1).languageIndex, -1);
}
