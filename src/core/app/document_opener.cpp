#include "core/app/document_opener.h"

#include <cstdio>

namespace zek {

namespace {

// A value is usable when it is there, fits the lookup buffer and starts with a 7-bit
// character.
std::optional<std::string> usableValue(const ClassesRootLookup& lookup, const std::string& subKey) {
    std::string value = lookup(subKey);
    if (value.empty() || value.size() > kRegistryValueMax || static_cast<unsigned char>(value.front()) > 0x7F)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> quotedProgram(std::string_view openCommand) {
    if (openCommand.empty() || openCommand.front() != '"')
        return std::nullopt;
    const std::size_t close = openCommand.find('"', 1);
    if (close == std::string_view::npos || close == 1)
        return std::nullopt;
    return std::string(openCommand.substr(1, close - 1));
}

std::optional<std::string> viewerCommandLine(const ClassesRootLookup& lookup, std::string_view extension,
                                             std::string_view argument) {
    const auto className = usableValue(lookup, std::string(extension));
    if (!className)
        return std::nullopt;
    const auto command = usableValue(lookup, *className + "\\shell\\open\\command\\");
    if (!command)
        return std::nullopt;
    const auto program = quotedProgram(*command);
    // A quote inside the argument would end it early and let the rest become arguments.
    if (!program || argument.find('"') != std::string_view::npos)
        return std::nullopt;
    // The program stays quoted: unquoted, a path with blanks would start "C:\Program.exe"
    // if there were one, and the viewer would get the path's pieces as its arguments.
    std::string line = "\"" + *program + "\" \"" + std::string(argument) + "\"";
    if (line.size() > kCommandLineMax)
        return std::nullopt;
    return line;
}

std::string moduleWebAddress(std::uint32_t address, int port, int modulePort) {
    char text[40];
    std::snprintf(text, sizeof text, "http://%u.%u.%u.%u:%d", unsigned(address >> 24),
                  unsigned(address >> 16 & 0xFF), unsigned(address >> 8 & 0xFF), unsigned(address & 0xFF),
                  port != 0 ? port : modulePort);
    return text;
}

} // namespace zek
