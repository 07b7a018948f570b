#pragma once

#include <cstdint>
#include <vector>

namespace zek::net {

// The PC's own IPv4 addresses (first number in bits 31-24), one per interface address,
// in a stable order with loopback addresses last.
std::vector<std::uint32_t> hostIpv4Addresses();
// The netmask of the interface that holds `address`; 0 when no interface holds it.
std::uint32_t hostNetmask(std::uint32_t address);

} // namespace zek::net
