#include "ctl/console.h"

#include <unistd.h>

namespace zek::cli {

// A POSIX terminal shows bytes as its locale says, and the locales in use are UTF-8.
void useUtf8Console() {}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace zek::cli
