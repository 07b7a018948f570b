#include "ctl/ctl_args.h"

#include "core/text/encodings.h"

#include <algorithm>

namespace zek::cli {

namespace {

bool listed(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

const std::vector<std::string_view> kCommonValues = {"from", "wait"};
const std::vector<std::string_view> kCommonFlags = {"verbose", "help"};

} // namespace

bool Args::has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> Args::value(std::string_view name) const {
    for (auto o = options.rbegin(); o != options.rend(); ++o)
        if (o->first == name)
            return o->second;
    return std::nullopt;
}

ParsedArgs parseArgs(std::span<const std::string> argv, std::span<const CommandInfo> commands) {
    ParsedArgs parsed;
    Args& a = parsed.args;
    const auto fail = [&](std::string error) {
        parsed.error = std::move(error);
        return parsed;
    };
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& token = argv[i];
        if (!token.starts_with("--") || token == "--") {
            if (a.command) {
                a.positional.push_back(token);
                continue;
            }
            const auto found = std::find_if(commands.begin(), commands.end(),
                                            [&](const CommandInfo& c) { return c.name == token; });
            if (found == commands.end())
                return fail("unknown command " + quotedText(token));
            a.command = &*found;
            continue;
        }
        const std::size_t equals = token.find('=');
        const std::string name =
            token.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const bool common = listed(kCommonValues, name) || listed(kCommonFlags, name);
        const bool isValue =
            listed(kCommonValues, name) || (a.command && listed(a.command->valueOptions, name));
        const bool isFlag = listed(kCommonFlags, name) || (a.command && listed(a.command->flagOptions, name));
        if (!common && !isValue && !isFlag)
            return fail("unknown option " + quotedText("--" + name) +
                        (a.command ? " for " + std::string(a.command->name) : ""));
        // The last of two values would win without a word: a script's mistake, refused.
        if (a.has(name))
            return fail("option '--" + name + "' given twice");
        if (isFlag && equals != std::string::npos)
            return fail("option '--" + name + "' takes no value");
        std::string value;
        if (isValue && equals != std::string::npos)
            value = token.substr(equals + 1);
        else if (isValue && i + 1 < argv.size())
            value = argv[++i];
        else if (isValue)
            return fail("option '--" + name + "' needs a value");
        if (name == "help")
            a.help = true;
        a.options.emplace_back(name, value);
    }
    if (a.help)
        return parsed;
    if (!a.command)
        return fail("no command given");
    const int given = int(a.positional.size());
    if (given != a.command->positionals &&
        !(a.command->moduleOptional && given == a.command->positionals - 1))
        return fail(std::string(a.command->name) + " takes " + std::to_string(a.command->positionals) +
                    " argument(s): " + std::string(a.command->usage));
    return parsed;
}

} // namespace zek::cli
