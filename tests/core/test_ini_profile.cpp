#include "core/settings/ini_profile.h"
#include "core/text/encodings.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using namespace zek;
using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A directory of its own per test, removed afterwards.
class ProfileDir : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path file(const char* name = "settings.ini") const { return m_dir / name; }
    std::size_t entries() const { return std::size_t(std::distance(fs::directory_iterator(m_dir), {})); }

    fs::path m_dir = fs::temp_directory_path() / ("zek_ini_" + std::to_string(std::random_device{}()));
};

} // namespace

TEST(IniDocument, LooksUpKeysAsTheProfileFunctionsDo) {
    // name, file, the value of K in section S
    const std::tuple<const char*, std::string, std::optional<std::string>> cases[] = {
        {"case of section and key is ignored", "[s]\nk=2\n", "2"},
        {"first of duplicate keys wins", "[S]\nK=first\nk=second\n", "first"},
        {"a repeated section is searched too", "[S]\nA=1\n[T]\n[s]\nK=2\n", "2"},
        {"missing section", "[T]\nK=1\n", std::nullopt},
        {"missing key", "[S]\nL=1\n", std::nullopt},
        {"keys before any section belong to none", "K=1\n[S]\n", std::nullopt},
        {"a line without = is no key", "[S]\nK\nK=2\n", "2"},
        {"blanks around key and value", "[ S ]\n  K  =  v w  \n", "v w"},
        {"surrounding quotes are dropped", "[S]\nK=\"a;b\"\n", "a;b"},
        {"an unmatched quote stays", "[S]\nK=\"x\n", "\"x"},
        {"value keeps further =", "[S]\nK=a=b\n", "a=b"},
        {"empty value is a value", "[S]\nK=\n", ""},
        {"CR LF endings, no final line feed", "[S]\r\nL=v\r\nK=w", "w"},
        {"a NUL ends the line", "[S]\nK=ab\0cd\nL=1\n"s, "ab"},
        {"a NUL line does not hide the next", "[S]\n\0\0\0\nK=1\n"s, "1"},
        {"comment lines", "[S]\n;K=1\nK=2\n", "2"},
        {"byte order mark", "\xEF\xBB\xBF[S]\nK=1\n", "1"},
        {"UTF-8 stays UTF-8", "[S]\nK=\xC3\xA7\n", "\xC3\xA7"},
        {"other bytes are Windows-1252", "[S]\nK=\xE7 \x80\x81\n", "\xC3\xA7 \xE2\x82\xAC\xC2\x81"},
        {"one bad byte decodes the whole file as 1252", "[S]\nK=\xC3\xA7\nL=\xFF\n", "\xC3\x83\xC2\xA7"},
    };
    for (const auto& [name, file, expected] : cases)
        EXPECT_EQ(IniDocument::parse(file).value("S", "K"), expected) << name;
}

TEST(IniDocument, IntegersAreDecimalTextWithTheirLeadingDigits) {
    const char* texts[] = {"", "12", "-1", "+3", " 42abc", "abc", "0x10", "-", "99999999999", "-99999999999"};
    const int expected[] = {7, 12, -1, 3, 42, 0, 0, 0, INT_MAX, INT_MIN};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(profileInt(texts[i], 7), expected[i]) << texts[i];
}

TEST(IniDocument, WritingAKeyLeavesEveryOtherLineAsItWas) {
    // name, file, section, key, value, file after
    const std::tuple<const char*, std::string, const char*, const char*, std::string, std::string> cases[] = {
        {"replace in place, CR LF and odd lines kept",
         "; c\r\n[S]\r\nA = x\r\n  k=0 \r\nno equals\r\n[X]\r\nK=1", "S", "K", "2",
         "; c\r\n[S]\r\nA = x\r\nk=2\r\nno equals\r\n[X]\r\nK=1"},
        {"new key before the section's blank lines", "[A]\nK=1\n\n[B]\nL=2\n", "a", "NEW", "x",
         "[A]\nK=1\nNEW=x\n\n[B]\nL=2\n"},
        {"new key into an empty section", "[A]\n[B]\n", "A", "K", "v", "[A]\nK=v\n[B]\n"},
        {"new section after a last line without LF", "[A]\nK=1", "B", "L", "2", "[A]\nK=1\n\n[B]\nL=2\n"},
        {"new key after a last line without CR LF", "[A]\r\nK=1", "A", "L", "2", "[A]\r\nK=1\r\nL=2\r\n"},
        {"empty file", "", "S", "K", "v", "[S]\nK=v\n"},
        {"only the first duplicate is replaced", "[S]\nK=1\nK=2\n", "S", "k", "3", "[S]\nK=3\nK=2\n"},
        {"a value is cut at a line break", "[S]\nK=1\n", "S", "K", "a\r\nL=evil", "[S]\nK=a\n"},
        {"a 1252 file stays 1252 when it can", "[S]\nA=\xE7\nK=1\n", "S", "K", "\xC3\xA9",
         "[S]\nA=\xE7\nK=\xE9\n"},
        {"a 1252 file becomes UTF-8 when it must", "[S]\nA=\xE7\nK=1\n", "S", "K", "\xE2\x86\x92",
         "[S]\nA=\xC3\xA7\nK=\xE2\x86\x92\n"},
        {"bytes that are not UTF-8 are taken as 1252", "[S]\n", "S", "K", "\xE7", "[S]\nK=\xC3\xA7\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[S]\nK=1\n", "S", "K", "2", "\xEF\xBB\xBF[S]\nK=2\n"},
    };
    for (const auto& [name, before, section, key, value, after] : cases) {
        IniDocument doc = IniDocument::parse(before);
        ASSERT_TRUE(doc.setValue(section, key, value)) << name;
        EXPECT_EQ(doc.serialize(), after) << name;
    }
}

TEST(IniDocument, RefusesNamesThatCannotBeWrittenAndKeepsUntouchedBytes) {
    IniDocument doc = IniDocument::parse("[S]\nK=1\n");
    const std::pair<const char*, const char*> names[] = {
        {"S", ""}, {"", "K"}, {"S", "A=B"}, {"S]", "K"}, {"S", "K\n"}, {"S", " K"}, {"S", "[K"}, {"S", ";K"}};
    for (const auto& [section, key] : names)
        EXPECT_FALSE(doc.setValue(section, key, "x")) << section << "/" << key;
    EXPECT_EQ(doc.serialize(), "[S]\nK=1\n");

    const std::string files[] = {"",        "\n",           "\r\n\r\n",     "[S]\nK=1",    "[S\n=\n==\n;\n[",
                                 "\0\n\0"s, "\xFF\xFE\x80", "\xEF\xBB\xBF", "a\rb\r\n\n c"};
    for (const std::string& bytes : files)
        EXPECT_EQ(IniDocument::parse(bytes).serialize(), bytes);
}

TEST_F(ProfileDir, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt) {
    TProfile profile("BASIC_SETTINGS", file().string());
    EXPECT_EQ(profile.file().status(), IniFile::Status::Missing);
    EXPECT_EQ(profile.GetInt("TREE_SORTING", 5), 5);
    EXPECT_EQ(profile.GetString("LANGUAGE", "none"), "none");
    ASSERT_TRUE(profile.WriteInt("ETH_INTERFACE", -1));
    ASSERT_TRUE(profile.WriteString("LANGUAGE", "English"));
    EXPECT_EQ(readBytes(file()), "[BASIC_SETTINGS]\nETH_INTERFACE=-1\nLANGUAGE=English\n");
    EXPECT_EQ(TProfile("basic_settings", file().string()).GetInt("eth_interface", 0), -1);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ProfileDir, LongValuesAreCutAtTheReadersBuffer) {
    std::ofstream(file(), std::ios::binary)
        << "[S]\nK=" + std::string(100000, 'x') + "\xC3\xA7\nL=" + std::string(998, 'y') + "\xC3\xA7\n";
    const TProfile profile("S", file().string());
    EXPECT_EQ(profile.GetString("K"), std::string(kProfileTextMax, 'x'));
    EXPECT_EQ(profile.GetString("L"), std::string(998, 'y') + "\xC3\xA7");
    EXPECT_EQ(profile.GetString("K", {}, 5), "xxxxx");
}

TEST_F(ProfileDir, WritesReplaceTheFileWholeThroughATemporaryFile) {
    const std::string before = "[S]\r\nA=1\r\nK=old\r\n" + std::string(200000, ';') + "\r\n";
    const std::string after = "[S]\r\nA=1\r\nK=new\r\n" + std::string(200000, ';') + "\r\n";
    std::ofstream(file(), std::ios::binary) << before;
    fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write);
    const fs::perms kept = fs::status(file()).permissions();
    {
        // A reader never sees a torn file: where an open file may be replaced (POSIX) the
        // reader keeps the old one whole; where not (Windows) the write fails and changes nothing.
        std::ifstream early(file(), std::ios::binary);
        ASSERT_TRUE(early);
        const bool written = TProfile("S", file().string()).WriteString("K", "new");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(early), {}), before);
        EXPECT_EQ(readBytes(file()), written ? after : before);
    }
    ASSERT_TRUE(TProfile("S", file().string()).WriteString("K", "new"));
    EXPECT_EQ(readBytes(file()), after);
    EXPECT_EQ(fs::status(file()).permissions(), kept);
    EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
}

TEST_F(ProfileDir, UnreadableFilesGiveDefaultsAndAreNeverOverwritten) {
    // A directory in the file's place, a file too large to be a profile, a missing directory.
    fs::create_directory(file("dir.ini"));
    std::ofstream(file("huge.ini"), std::ios::binary) << "[S]\nK=1\n" + std::string(kProfileFileMax, ' ');
    for (const fs::path& path : {file("dir.ini"), file("huge.ini"), m_dir / "missing" / "x.ini"}) {
        SCOPED_TRACE(path.string());
        TProfile profile("S", path.string());
        EXPECT_EQ(profile.file().status(), path == file("huge.ini")      ? IniFile::Status::TooLarge
                                           : path.parent_path() == m_dir ? IniFile::Status::Unreadable
                                                                         : IniFile::Status::Missing);
        EXPECT_EQ(profile.GetInt("K", 9), 9);
        EXPECT_FALSE(profile.WriteInt("K", 2));
    }
    EXPECT_TRUE(fs::is_directory(file("dir.ini")));
    EXPECT_EQ(fs::file_size(file("huge.ini")), 8 + kProfileFileMax);
    EXPECT_EQ(entries(), 2u);
}
