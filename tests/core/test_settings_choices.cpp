#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "core/settings/settings_choices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace zek;

namespace {

class SettingsChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("zek_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path() const { return (m_dir / kSettingsFileName).string(); }
    void write(const std::string& bytes) const { std::ofstream(path(), std::ios::binary) << bytes; }
    std::string read() const {
        std::ifstream in(path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    SettingsChoices resolve(int interfaces) const {
        return resolveSettings(TProfile(kSettingsSection, path()), interfaces);
    }

    std::filesystem::path m_dir;
};

} // namespace

TEST_F(SettingsChoicesTest, SavedChoicesAgainstWhatThePcOffers) {
    struct Case {
        const char* name;
        std::string file;
        int interfaces;
        int interface;
        std::vector<std::string> languages;
        int language;
        int sort;
        std::vector<std::string> interfaceLog;
        std::vector<std::string> choiceLog;
    };
    const std::string both = "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\n";
    const std::vector<std::string> bothListed = {"Deutsch", "English"};
    const Case cases[] = {
        {"letter case ignored",
         both + "LANGUAGE=english\nETH_INTERFACE=2\nTREE_SORTING=1\n",
         3,
         2,
         bothListed,
         1,
         1,
         {},
         {}},
        {"an empty key shifts the list",
         "[BASIC_SETTINGS]\nLANG01=\nLANG02=English\nLANGUAGE=English\n",
         1,
         0,
         {"English"},
         0,
         0,
         {},
         {}},
        {"gaps and the 49th key",
         "[BASIC_SETTINGS]\nLANG03=Deutsch\nLANG49=English\nLANG50=X\nLANGUAGE=ENGLISH\n",
         1,
         0,
         bothListed,
         1,
         0,
         {},
         {}},
        {"no match",
         both + "LANGUAGE=Klingon\n",
         1,
         0,
         bothListed,
         -1,
         0,
         {},
         {"Settings: LANGUAGE=Klingon is none of the listed languages"}},
        {"none saved", both, 1, 0, bothListed, -1, 0, {}, {}},
        {"missing file", "", 2, 0, {}, -1, 0, {}, {}},
        {"lines without =",
         "[BASIC_SETTINGS]\nLANG01\n=\nnonsense\n\x01\x02\nLANG02=Deutsch\nLANGUAGE=deutsch\n"
         "TREE_SORTING=abc\n",
         1,
         0,
         {"Deutsch"},
         0,
         0,
         {},
         {}},
        {"Windows-1252 names",
         "[BASIC_SETTINGS]\nLANG01=Fran\xE7"
         "ais\nLANGUAGE=Fran\xE7"
         "ais\n",
         1,
         0,
         {"Fran\xC3\xA7"
          "ais"},
         0,
         0,
         {},
         {}},
        {"interface beyond the list",
         "[BASIC_SETTINGS]\nETH_INTERFACE=99\n",
         3,
         0,
         {},
         -1,
         0,
         {"Settings: ETH_INTERFACE=99 names none of the 3 PC interfaces; the first one is used"},
         {}},
        {"negative interface",
         "[BASIC_SETTINGS]\nETH_INTERFACE=-1\n",
         2,
         0,
         {},
         -1,
         0,
         {"Settings: ETH_INTERFACE=-1 names none of the 2 PC interfaces; the first one is used"},
         {}},
        {"no interface at all", "[BASIC_SETTINGS]\nETH_INTERFACE=1\n", 0, -1, {}, -1, 0, {}, {}},
        {"sort order too large",
         "[BASIC_SETTINGS]\nTREE_SORTING=7\n",
         1,
         0,
         {},
         -1,
         2,
         {},
         {"Settings: TREE_SORTING=7 is outside 0-2; 2 is used"}},
        {"sort order negative",
         "[BASIC_SETTINGS]\nTREE_SORTING=-4\n",
         1,
         0,
         {},
         -1,
         0,
         {},
         {"Settings: TREE_SORTING=-4 is outside 0-2; 0 is used"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(path());
        if (!c.file.empty())
            write(c.file);
        const SettingsChoices choices = resolve(c.interfaces);
        EXPECT_EQ(choices.interfaceIndex, c.interface) << c.name;
        EXPECT_EQ(choices.languages, c.languages) << c.name;
        EXPECT_EQ(choices.languageIndex, c.language) << c.name;
        EXPECT_EQ(choices.sortOrder, c.sort) << c.name;
        EXPECT_EQ(choices.interfaceLog, c.interfaceLog) << c.name;
        EXPECT_EQ(choices.choiceLog, c.choiceLog) << c.name;
    }
}

TEST_F(SettingsChoicesTest, HugeValuesAreCutToTheBuffers) {
    write("[BASIC_SETTINGS]\nLANG01=" + std::string(200000, 'x') + "\nLANGUAGE=" + std::string(5000, 'x') +
          "\n");
    const SettingsChoices choices = resolve(1);
    ASSERT_EQ(choices.languages.size(), 1u);
    EXPECT_EQ(choices.languages[0], std::string(kLanguageNameMax, 'x'));
    EXPECT_EQ(choices.languageIndex, -1);
    EXPECT_EQ(choices.choiceLog,
              std::vector<std::string>{"Settings: LANGUAGE=" + std::string(kProfileTextMax, 'x') +
                                       " is none of the listed languages"});
}

TEST_F(SettingsChoicesTest, AnUnreadableFileGivesDefaultsAndIsNotOverwritten) {
    std::filesystem::create_directory(path());
    const SettingsChoices choices = resolve(2);
    EXPECT_EQ(choices.interfaceLog,
              std::vector<std::string>{"Settings file " + path() + " cannot be read; defaults apply"});
    EXPECT_EQ(choices.interfaceIndex, 0);
    EXPECT_FALSE(storeSettings(path(), 1, "English", 0));
    EXPECT_TRUE(std::filesystem::is_directory(path()));
}

TEST_F(SettingsChoicesTest, StoringKeepsOtherLinesAndCutsTheLanguage) {
    write("; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\n");
    ASSERT_TRUE(storeSettings(path(), 2, "Deutsch", 1));
    EXPECT_EQ(read(),
              "; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nETH_INTERFACE=2\r\nLANGUAGE=Deutsch\r\n"
              "TREE_SORTING=1\r\n");
    // A long UTF-8 name is cut to whole characters.
    std::string name;
    for (int i = 0; i < 60; ++i)
        name += "\xC3\xA4";
    ASSERT_TRUE(storeSettings(path(), 0, name, 0));
    EXPECT_EQ(TProfile(kSettingsSection, path()).GetString("LANGUAGE"),
              utf8Prefix(name, kLanguageSettingMax));
    EXPECT_EQ(resolve(1).languageIndex, -1);
}
