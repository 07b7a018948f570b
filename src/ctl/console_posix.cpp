#include "ctl/console.h"

namespace zek::cli {

// A POSIX terminal shows bytes as its locale says, and the locales in use are UTF-8.
void useUtf8Console() {}

} // namespace zek::cli
