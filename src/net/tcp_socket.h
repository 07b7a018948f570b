#pragma once

#include "net/socket_error.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace zek::net {

// A non-blocking IPv4 stream socket: the platform's TcpSocket, or a test's double that plays
// the platform's failures. Addresses hold the first dotted number in bits 31-24; errors are
// the platform's numbers, kept in lastError().
class StreamSocket {
public:
    enum class ReadResult { Data, WouldBlock, Ended, Failed };
    enum class SendResult { Done, WouldBlock, Failed };

    virtual ~StreamSocket() = default;

    virtual bool open() = 0;
    // Binds to the local address with a port the system chooses.
    virtual bool bind(std::uint32_t localAddress) = 0;
    // Starts connecting: true while it is under way (or done); its end shows as write
    // readiness, and connectError() then says how it went.
    virtual bool startConnect(std::uint32_t address, std::uint16_t port) = 0;
    // 0 when the connect completed; else its error number.
    virtual int connectError() = 0;
    // Ended: the peer closed or reset the connection, nothing more will come; lastError()
    // is then 0 or the reset's number.
    virtual ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received) = 0;
    // Sends what the system takes now; `taken` says how much. Failed with the platform's
    // "not open" number when the socket is not open.
    virtual SendResult send(std::span<const std::uint8_t> bytes, std::size_t& taken) = 0;
    // No further sends or receives in either direction.
    virtual void shutdownBoth() = 0;
    virtual void close() = 0;

    virtual bool isOpen() const = 0;
    // What the event loop watches; kNoSocket for a double without one.
    virtual SocketHandle handle() const = 0;
    virtual int lastError() const = 0;
};

using StreamSocketFactory = std::function<std::unique_ptr<StreamSocket>()>;

// The platform's stream socket.
class TcpSocket final : public StreamSocket {
public:
    TcpSocket() = default;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;
    ~TcpSocket() override { close(); }

    bool open() override;
    bool bind(std::uint32_t localAddress) override;
    bool startConnect(std::uint32_t address, std::uint16_t port) override;
    int connectError() override;
    ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received) override;
    SendResult send(std::span<const std::uint8_t> bytes, std::size_t& taken) override;
    void shutdownBoth() override;
    void close() override;

    bool isOpen() const override { return m_handle != kNoSocket; }
    SocketHandle handle() const override { return m_handle; }
    int lastError() const override { return m_lastError; }

    static StreamSocketFactory factory() {
        return [] { return std::make_unique<TcpSocket>(); };
    }

private:
    bool failed();
    bool notOpen();

    SocketHandle m_handle = kNoSocket;
    int m_lastError = 0;
};

// Whether the connect just started on `socket` has already ended. Wine tells the end of a
// non-blocking connect only to a watch set up before it ended, so an event loop that sets
// its watch up later asks once here, at once, for a connect that ended at once (a refusal
// on loopback).
bool connectEndedAtOnce(const StreamSocket& socket);

} // namespace zek::net
