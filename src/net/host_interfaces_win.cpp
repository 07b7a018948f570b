// winsock2.h must come before the other system headers.
#include <winsock2.h>

#include <iphlpapi.h>
#include <windows.h>

#include "net/host_interfaces.h"

#include <algorithm>
#include <memory>

namespace zek::net {

namespace {

// The adapters with their IPv4 addresses; empty when Windows does not give the list.
std::unique_ptr<unsigned char[]> adapterList() {
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The list's size is known only by asking; it may grow between two asks.
    ULONG size = 16 * 1024;
    std::unique_ptr<unsigned char[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<unsigned char[]>(size);
        result = GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    return result == NO_ERROR ? std::move(buffer) : nullptr;
}

const IP_ADAPTER_ADDRESSES* firstAdapter(const std::unique_ptr<unsigned char[]>& list) {
    return reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(list.get());
}

std::uint32_t ipv4Of(const IP_ADAPTER_UNICAST_ADDRESS* u) {
    const sockaddr* sa = u->Address.lpSockaddr;
    if (!sa || sa->sa_family != AF_INET)
        return 0;
    return ntohl(reinterpret_cast<const sockaddr_in*>(sa)->sin_addr.s_addr);
}

} // namespace

std::vector<std::uint32_t> hostIpv4Addresses() {
    const auto list = adapterList();
    std::vector<std::uint32_t> addresses;
    std::vector<std::uint32_t> loopback;
    for (auto* a = firstAdapter(list); a; a = a->Next) {
        if (a->OperStatus != IfOperStatusUp)
            continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u; u = u->Next) {
            const std::uint32_t address = ipv4Of(u);
            if (address == 0)
                continue;
            auto& into =
                a->IfType == IF_TYPE_SOFTWARE_LOOPBACK && (address >> 24) == 127 ? loopback : addresses;
            if (std::find(into.begin(), into.end(), address) == into.end())
                into.push_back(address);
        }
    }
    addresses.insert(addresses.end(), loopback.begin(), loopback.end());
    return addresses;
}

std::uint32_t hostNetmask(std::uint32_t address) {
    const auto list = adapterList();
    for (auto* a = firstAdapter(list); a; a = a->Next)
        for (const IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u; u = u->Next)
            if (ipv4Of(u) == address) {
                const unsigned length = std::min<unsigned>(u->OnLinkPrefixLength, 32);
                return length == 0 ? 0 : ~std::uint32_t(0) << (32 - length);
            }
    return 0;
}

} // namespace zek::net
