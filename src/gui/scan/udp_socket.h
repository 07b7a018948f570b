#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zek {

// A non-blocking IPv4 datagram socket with the broadcast option: the one place where
// the platform's socket calls for UDP live. Errors are the platform's error numbers.
class UdpSocket {
public:
    UdpSocket() = default;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket();

    // Creates the socket; false with lastError() set on failure.
    bool create();
    // Binds to the address (first number in bits 31-24) with a port the system chooses.
    bool bind(std::uint32_t address);
    bool setBroadcast(bool on);
    // Asks for a receive buffer of `bytes` and returns what the system granted (0 on failure).
    int requestReceiveBuffer(int bytes);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    std::uint16_t localPort() const;

    enum class Result { Done, WouldBlock, Failed };
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port);
    // Receives one datagram into `buffer`; a longer datagram is cut to the buffer's size.
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received, std::uint16_t& senderPort);

    int lastError() const { return m_lastError; }
    // A readable sentence for a platform error number.
    static std::string reasonText(int error);
    // The error number a send gets when the socket is not open.
    static int notOpenError();

private:
    int m_fd = -1;
    int m_lastError = 0;
};

} // namespace zek
