#pragma once

#include "net/socket_error.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace zek::net {

// A non-blocking IPv4 datagram socket, as the search endpoint uses it: the platform's
// UdpSocket, or a test's double that plays the platform's failures. Addresses hold the first
// dotted number in bits 31-24; errors are the platform's numbers, kept in lastError().
class DatagramSocket {
public:
    enum class Result { Done, WouldBlock, Failed };

    virtual ~DatagramSocket() = default;

    virtual bool open() = 0;
    // Binds to the address with a port the system chooses.
    virtual bool bind(std::uint32_t address) = 0;
    virtual bool setBroadcast(bool on) = 0;
    // Asks for a receive buffer of `bytes` and returns what the system granted (0 on failure).
    virtual int requestReceiveBuffer(int bytes) = 0;
    // Failed with the platform's "not open" number when the socket is not open.
    virtual Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) = 0;
    // One datagram into `buffer`; a longer datagram is cut to the buffer's size.
    virtual Result receive(std::span<std::uint8_t> buffer, std::size_t& received,
                           std::uint16_t& senderPort) = 0;
    virtual void close() = 0;

    virtual bool isOpen() const = 0;
    // What the event loop watches; kNoSocket for a double without one.
    virtual SocketHandle handle() const = 0;
    virtual std::uint16_t localPort() const = 0;
    virtual int lastError() const = 0;
};

// Makes the socket a search endpoint uses.
using DatagramSocketFactory = std::function<std::unique_ptr<DatagramSocket>()>;

// The platform's datagram socket.
class UdpSocket final : public DatagramSocket {
public:
    UdpSocket() = default;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket() override { close(); }

    bool open() override;
    bool bind(std::uint32_t address) override;
    bool setBroadcast(bool on) override;
    int requestReceiveBuffer(int bytes) override;
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) override;
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received, std::uint16_t& senderPort) override;
    void close() override;

    bool isOpen() const override { return m_handle != kNoSocket; }
    SocketHandle handle() const override { return m_handle; }
    std::uint16_t localPort() const override;
    int lastError() const override { return m_lastError; }

    static DatagramSocketFactory factory() {
        return [] { return std::make_unique<UdpSocket>(); };
    }

private:
    bool failed();

    SocketHandle m_handle = kNoSocket;
    int m_lastError = 0;
};

} // namespace zek::net
