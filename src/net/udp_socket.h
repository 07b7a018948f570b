#pragma once

#include "net/socket_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace zek::net {

// A non-blocking IPv4 datagram socket. Addresses hold the first dotted number in bits 31-24;
// errors are the platform's numbers, kept in lastError().
class UdpSocket {
public:
    enum class Result { Done, WouldBlock, Failed };

    UdpSocket() = default;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket() { close(); }

    bool open();
    // Binds to the address with a port the system chooses.
    bool bind(std::uint32_t address);
    bool setBroadcast(bool on);
    // Asks for a receive buffer of `bytes` and returns what the system granted (0 on failure).
    int requestReceiveBuffer(int bytes);
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port);
    // One datagram into `buffer`; a longer datagram is cut to the buffer's size.
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received, std::uint16_t& senderPort);
    void close();

    bool isOpen() const { return m_handle != kNoSocket; }
    SocketHandle handle() const { return m_handle; }
    std::uint16_t localPort() const;
    int lastError() const { return m_lastError; }

private:
    bool failed();

    SocketHandle m_handle = kNoSocket;
    int m_lastError = 0;
};

} // namespace zek::net
