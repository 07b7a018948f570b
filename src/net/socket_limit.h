#pragma once

namespace zek::net {

// How many sockets this process may hold open at once besides the few the program keeps
// for itself (the standard streams, the search socket): what bounds parallel sessions.
int openSocketBound();

} // namespace zek::net
