#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

// How a platform that keeps viewers as open commands per file type (the classes root of
// Windows) turns a document or web address into the viewer's command line. Linux opens
// documents through the desktop and does not use this.

// A registry value read from a sub-key of the classes root; empty when the key or its
// value is missing.
using ClassesRootLookup = std::function<std::string(std::string_view subKey)>;

// The limits of the lookup buffer and of the command line.
inline constexpr std::size_t kRegistryValueMax = 1024;
inline constexpr std::size_t kCommandLineMax = 999;

// The program of an open command: it must start with a path in double quotes; the text
// between the two quotes. None without an opening or a closing quote.
std::optional<std::string> quotedProgram(std::string_view openCommand);

// The command line that opens `argument` (a document's path, a web address) with the
// viewer registered for `extension` (".pdf", ".htm"): the program and the argument, each
// in double quotes so that a path with blanks stays one piece. None when no
// usable viewer is registered or the line would be too long; each call looks up afresh.
std::optional<std::string> viewerCommandLine(const ClassesRootLookup& lookup, std::string_view extension,
                                             std::string_view argument);

// A module's own web page, "http://%u.%u.%u.%u:%d": its address (first number in bits
// 31-24) and `port`, or the module's TCP port when `port` is 0.
std::string moduleWebAddress(std::uint32_t address, int port, int modulePort);

} // namespace zek
