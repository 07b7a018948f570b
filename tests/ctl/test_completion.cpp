// The shell completion against zekctl's own help: every command, every option of a
// command's usage line, every --format word and the common options are offered, so the
// completion file and the command table cannot drift apart.
#include "ctl/zekctl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string helpOf(std::vector<std::string> args) {
    args.emplace_back("--help");
    std::ostringstream out, err;
    EXPECT_EQ(zek::cli::runZekctl(args, out, err), zek::cli::kDone) << err.str();
    return out.str();
}

std::set<std::string> matches(const std::string& text, const std::regex& pattern, int group = 0) {
    std::set<std::string> found;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), pattern); m != std::sregex_iterator(); ++m)
        found.insert((*m)[group].str());
    return found;
}

std::set<std::string> words(const std::string& text, char separator = ' ') {
    std::set<std::string> found;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, separator);)
        if (!word.empty())
            found.insert(word);
    return found;
}

// The completion file's `NAME) VARIABLE="..."` case lines, by NAME.
std::map<std::string, std::set<std::string>> caseLists(const std::string& file, const std::string& variable) {
    std::map<std::string, std::set<std::string>> lists;
    const std::regex line("\\n\\s*([a-z-]+)\\) " + variable + "=\"([^\"]*)\"");
    for (auto m = std::sregex_iterator(file.begin(), file.end(), line); m != std::sregex_iterator(); ++m)
        lists[(*m)[1].str()] = words((*m)[2].str());
    return lists;
}

} // namespace

TEST(Completion, OffersWhatZekctlKnows) {
    std::ifstream in(ZEK_COMPLETION_FILE);
    ASSERT_TRUE(in) << ZEK_COMPLETION_FILE;
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex option("--[a-z0-9-]+");
    std::smatch m;

    const std::string help = helpOf({});
    const std::size_t listed = help.find("Commands:\n");
    const std::string commandList = help.substr(listed, help.find("\n\n", listed) - listed);
    const std::set<std::string> commands = matches(commandList, std::regex("\\n  ([a-z]+) "), 1);
    ASSERT_TRUE(std::regex_search(file, m, std::regex("local commands=\"([^\"]*)\"")));
    EXPECT_TRUE(std::ranges::includes(words(m[1].str()), commands)) << commandList;
    ASSERT_TRUE(std::regex_search(file, m, std::regex("local common=\"([^\"]*)\"")));
    std::set<std::string> common = matches(help.substr(help.find("Options of every command")), option);
    common.insert("--help");
    EXPECT_EQ(words(m[1].str()), common);

    const auto options = caseLists(file, "options");
    const auto formats = caseLists(file, "formats");
    for (const std::string& command : commands) {
        const std::string commandHelp = helpOf({command});
        const std::string usage = commandHelp.substr(0, commandHelp.find('\n'));
        const auto offered = options.find(command);
        ASSERT_NE(offered, options.end()) << command;
        EXPECT_TRUE(std::ranges::includes(offered->second, matches(usage, option))) << usage;
        std::set<std::string> formatWords;
        if (std::regex_search(usage, m, std::regex("--format ([a-z|]+)")))
            formatWords = words(m[1].str(), '|');
        const auto formatsOffered = formats.find(command);
        EXPECT_EQ(formatsOffered == formats.end() ? std::set<std::string>{} : formatsOffered->second,
                  formatWords)
            << usage;
    }
}
