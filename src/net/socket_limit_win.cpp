#include "net/socket_limit.h"

namespace zek::net {

// Winsock sockets are kernel handles with no small per-process limit; this bound keeps a
// mistyped --jobs from tying up the machine.
int openSocketBound() {
    return 1024;
}

} // namespace zek::net
