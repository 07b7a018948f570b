#pragma once

#include "net/socket_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace zek::net {

// A non-blocking IPv4 stream socket. Addresses hold the first dotted number in bits 31-24;
// errors are the platform's numbers, kept in lastError().
class TcpSocket {
public:
    enum class ReadResult { Data, WouldBlock, Ended, Failed };
    enum class SendResult { Done, WouldBlock, Failed };

    TcpSocket() = default;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;
    ~TcpSocket() { close(); }

    bool open();
    // Binds to the local address with a port the system chooses.
    bool bind(std::uint32_t localAddress);
    // Starts connecting: true while it is under way (or done); its end shows as write
    // readiness, and connectError() then says how it went.
    bool startConnect(std::uint32_t address, std::uint16_t port);
    // 0 when the connect completed; else its error number.
    int connectError();
    // Ended: the peer closed or reset the connection, nothing more will come; lastError()
    // is then 0 or the reset's number.
    ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received);
    // Sends what the system takes now; `taken` says how much.
    SendResult send(std::span<const std::uint8_t> bytes, std::size_t& taken);
    // No further sends or receives in either direction.
    void shutdownBoth();
    void close();

    bool isOpen() const { return m_handle != kNoSocket; }
    SocketHandle handle() const { return m_handle; }
    int lastError() const { return m_lastError; }

private:
    bool failed();
    bool notOpen();

    SocketHandle m_handle = kNoSocket;
    int m_lastError = 0;
};

} // namespace zek::net
