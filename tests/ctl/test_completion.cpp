// The bash completion against zekctl itself: every command, option and --format word its help
// prints is offered, and zekctl takes every command and option offered (an option the file
// marks as taking a value with one, any other without), so the two cannot drift apart.
#include "ctl/zekctl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

// The exit code and the help, or the usage error when zekctl refuses `args`.
std::pair<int, std::string> help(std::vector<std::string> args) {
    args.emplace_back("--help");
    std::ostringstream out, err;
    const int code = zek::cli::runZekctl(args, out, err);
    return {code, code == zek::cli::kDone ? out.str() : err.str()};
}

// The first group of each match.
std::set<std::string> all(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex re(pattern);
    for (auto m = std::sregex_iterator(text.begin(), text.end(), re); m != std::sregex_iterator(); ++m)
        found.insert((*m)[1].str());
    return found;
}

} // namespace

TEST(Completion, MatchesZekctl) {
    std::ifstream in(ZEK_COMPLETION_FILE);
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The words of the completion file's `NAME="..."` assignment or `NAME) VARIABLE="..."` case.
    const auto list = [&](const std::string& name) {
        const std::set<std::string> quoted = all(file, "[\\s(]" + name + "=\"([^\"]*)\"");
        return quoted.empty() ? quoted : all(*quoted.begin(), "([^\\s|]+)");
    };
    const std::string usage = help({}).second;
    const std::set<std::string> commands = list("commands"), valued = list("valued");
    EXPECT_TRUE(std::ranges::includes(commands, all(usage, "\n  ([a-z]+) "))) << usage;
    // The common options: the indented lines below their heading.
    std::set<std::string> common =
        all(*all(usage, "(Options of every[^\n]*(\n [^\n]*)*)").begin(), "\n  (--[a-z-]+)");
    common.insert("--help");
    EXPECT_EQ(list("common"), common);
    for (const std::string& command : commands) {
        const auto [code, text] = help({command});
        ASSERT_EQ(code, zek::cli::kDone) << text;
        const std::string usageLine = *all(text, "(Usage:[^\n]*(\n [^\n]*)*)").begin();
        const std::set<std::string> offered = list(command + "\\) options");
        EXPECT_TRUE(std::ranges::includes(offered, all(usageLine, "(--[a-z0-9-]+)"))) << usageLine;
        const std::set<std::string> format = all(usageLine, "--format ([a-z|]+)");
        EXPECT_EQ(list(command + "\\) formats"), format.empty() ? format : all(*format.begin(), "([a-z]+)"))
            << usageLine;
        for (const std::string& option : offered)
            EXPECT_EQ(help({command, valued.contains(option) ? option + "=x" : option}).first,
                      zek::cli::kDone)
                << command << ' ' << option;
    }
}
