#pragma once

#include "net/host_interfaces.h"

namespace zek {

// The PC's own IPv4 addresses, from the platform seam.
using net::hostIpv4Addresses;

} // namespace zek
