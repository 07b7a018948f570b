#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zek::cli {

// One subcommand: its usage line, what it does, how many positional arguments it takes, and
// the options it knows besides the common --from, --wait, --verbose and --help.
struct CommandInfo {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    int positionals;
    std::vector<std::string_view> valueOptions;
    std::vector<std::string_view> flagOptions;
    bool talksToModules = true;
    // The first positional, MODULE, may be left out: a fleet option or the file names them.
    bool moduleOptional = false;
};

// A command line split into the subcommand, its positional arguments and its options in
// the order given ("--name value" or "--name=value"; flags have an empty value).
struct Args {
    const CommandInfo* command = nullptr;
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    bool help = false;

    bool has(std::string_view name) const;
    std::optional<std::string> value(std::string_view name) const;
};

struct ParsedArgs {
    Args args;
    std::string error; // a usage error, empty when the line was taken
};
ParsedArgs parseArgs(std::span<const std::string> argv, std::span<const CommandInfo> commands);

} // namespace zek::cli
