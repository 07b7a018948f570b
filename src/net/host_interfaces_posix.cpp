#include "net/host_interfaces.h"

#include <algorithm>
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace zek::net {

std::vector<std::uint32_t> hostIpv4Addresses() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return {};
    std::vector<std::uint32_t> addresses;
    std::vector<std::uint32_t> loopback;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP))
            continue;
        const auto address = ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr);
        auto& into = (a->ifa_flags & IFF_LOOPBACK) && (address >> 24) == 127 ? loopback : addresses;
        if (std::find(into.begin(), into.end(), address) == into.end())
            into.push_back(address);
    }
    ::freeifaddrs(list);
    addresses.insert(addresses.end(), loopback.begin(), loopback.end());
    return addresses;
}

std::uint32_t hostNetmask(std::uint32_t address) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return 0;
    std::uint32_t netmask = 0;
    for (const ifaddrs* a = list; a && netmask == 0; a = a->ifa_next)
        if (a->ifa_addr && a->ifa_netmask && a->ifa_addr->sa_family == AF_INET &&
            ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr) == address)
            netmask = ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_netmask)->sin_addr.s_addr);
    ::freeifaddrs(list);
    return netmask;
}

} // namespace zek::net
