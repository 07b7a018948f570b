#pragma once

#include <QString>

namespace zek {

// The directory of the user's own that the menu entry starts the program in, so that its
// settings file has a writable place: ~/.config/zekconfig on Linux, %APPDATA%\zekconfig on
// Windows. Empty when the platform names none.
QString UserDirectory();

} // namespace zek
