#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace zek {

// A non-blocking IPv4 datagram socket with the broadcast option, whose read readiness
// reaches the user-interface loop. Errors are the platform's error numbers.
class UdpTransport {
public:
    enum class Result { Done, WouldBlock, Failed };
    // Called on the user-interface loop whenever datagrams wait to be received.
    using ReadyFn = std::function<void()>;
    using Factory = std::function<std::unique_ptr<UdpTransport>(ReadyFn onReadable)>;

    virtual ~UdpTransport() = default;

    // Creates the socket and starts its readiness notification; false with lastError() set.
    virtual bool create() = 0;
    // Binds to the address (first number in bits 31-24) with a port the system chooses.
    virtual bool bind(std::uint32_t address) = 0;
    virtual bool setBroadcast(bool on) = 0;
    // Asks for a receive buffer of `bytes` and returns what the system granted (0 on failure).
    virtual int requestReceiveBuffer(int bytes) = 0;
    virtual Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) = 0;
    // Receives one datagram into `buffer`; a longer datagram is cut to the buffer's size.
    virtual Result receive(std::span<std::uint8_t> buffer, std::size_t& received,
                           std::uint16_t& senderPort) = 0;
    // Safe from within the readiness callback.
    virtual void close() = 0;

    virtual bool isOpen() const = 0;
    virtual std::uint16_t localPort() const = 0;
    virtual int lastError() const = 0;
    // A readable sentence for a platform error number.
    virtual std::string reasonText(int error) const = 0;
    // The error number a send gets when the socket is not open.
    virtual int notOpenError() const = 0;
};

// The platform's datagram socket.
UdpTransport::Factory platformUdpFactory();

} // namespace zek
