#pragma once

#include <string>
#include <string_view>

namespace zek::net {

// Windows keeps a viewer per file type as an open command under the classes root; other
// platforms open documents through their desktop and have no use for these.

// The default value of HKEY_CLASSES_ROOT\`subKey`, UTF-8; empty when the key or the value
// is missing, is not text or is longer than the lookup takes.
std::string ReadClassesRootValue(std::string_view subKey);

// Starts the viewer registered for `extension` (".pdf", ".htm") with `argument` (UTF-8) as
// its one argument, without a shell. False when none is registered or it did not start.
bool OpenWithViewer(std::string_view extension, std::string_view argument);

} // namespace zek::net
