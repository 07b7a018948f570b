#include "core/settings/ini_profile.h"
#include "core/settings/settings_choices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace zek;
namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(SettingsFile, LinksLeftoversAndOversizedFiles) {
    const fs::path dir = fs::temp_directory_path() / ("zek_file_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir / "real");
    const fs::path link = dir / kSettingsFileName, target = dir / "real" / "kept.ini";
    std::ofstream(target, std::ios::binary) << "[BASIC_SETTINGS]\nLANG01=English\n";
    std::error_code noLinks;
    fs::create_symlink("real/kept.ini", link, noLinks);
    // Where the platform makes no links (Windows without the privilege), the file itself is written.
    const std::string settings = (noLinks ? target : link).string();
    for (const char* name : {"kept.ini.tmp123.4", "kept.ini.tmp1.2.bak", "kept.ini.tmpx.1"})
        std::ofstream(dir / "real" / name) << "x";

    ASSERT_TRUE(storeSettings(settings, 1, "English", 2));
    EXPECT_EQ(fs::is_symlink(link), !noLinks);
    EXPECT_EQ(contents(target), "[BASIC_SETTINGS]\nLANG01=English\nETH_INTERFACE=1\nLANGUAGE=English\n"
                                "TREE_SORTING=2\n");
    EXPECT_EQ((std::vector{fs::exists(dir / "real" / "kept.ini.tmp123.4"),
                           fs::exists(dir / "real" / "kept.ini.tmp1.2.bak"),
                           fs::exists(dir / "real" / "kept.ini.tmpx.1")}),
              (std::vector{false, true, true}));

    const std::string huge(kProfileFileMax + 1, ';');
    std::ofstream(target, std::ios::binary | std::ios::trunc) << huge;
    EXPECT_EQ(resolveSettings(TProfile(kSettingsSection, settings), 1).interfaceLog,
              std::vector<std::string>{"Settings file " + settings +
                                       " is larger than 4194304 "
                                       "bytes; defaults apply and it is left as it is"});
    EXPECT_TRUE(storeSettings(settings, 0, "", 0));
    EXPECT_EQ(contents(target), huge);
    fs::remove_all(dir);
}
