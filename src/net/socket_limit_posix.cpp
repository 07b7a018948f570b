#include "net/socket_limit.h"

#include <algorithm>
#include <sys/resource.h>

namespace zek::net {

namespace {

// Descriptors the program holds besides its sessions' sockets.
constexpr rlim_t kKeptForItself = 16;
// What an unlimited soft limit is taken for.
constexpr rlim_t kUnlimited = 65536;

} // namespace

int openSocketBound() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1;
    const rlim_t soft = limit.rlim_cur == RLIM_INFINITY ? kUnlimited : std::min(limit.rlim_cur, kUnlimited);
    return soft > kKeptForItself ? int(soft - kKeptForItself) : 1;
}

} // namespace zek::net
