#pragma once

// Helpers shared by the platform's UDP and TCP socket files (POSIX only).

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <netinet/in.h>

namespace zek::posix {

// An IPv4 socket address from an address held with its first number in bits 31-24.
inline sockaddr_in ipv4(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address);
    return sa;
}

inline bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace zek::posix
