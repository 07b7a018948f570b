#pragma once

#include "core/session/line_splitter.h"
#include "net/tcp_socket.h"

#include <chrono>
#include <cstdint>
#include <string_view>

namespace zek::net {

// A session to one module for a program without an event loop: connects, sends command
// texts whole and cuts what arrives into CR lines, each call bounded by a deadline.
class TcpLineClient {
public:
    using Clock = std::chrono::steady_clock;
    enum class Status { Ok, TimedOut, Closed, Failed };

    // Binds to `local` and connects to the module; Failed with error() on a refusal.
    Status connect(std::uint32_t local, std::uint32_t address, std::uint16_t port,
                   Clock::time_point deadline);
    // Sends all of the text or fails.
    Status send(std::string_view text, Clock::time_point deadline);
    // Waits until bytes arrive or the deadline passes and hands every completed line to
    // `onLine`; `lines` counts them. Closed once the peer has ended the connection.
    Status receive(Clock::time_point deadline, const LineSplitter::LineFn& onLine, std::size_t& lines);
    void close();

    bool isOpen() const { return m_socket.isOpen() && !m_ended; }
    // The platform's number of the last failure; 0 for a peer that closed in order.
    int error() const { return m_error; }

private:
    Status fail(Status status, int error);

    TcpSocket m_socket;
    LineSplitter m_splitter;
    bool m_ended = false;
    int m_error = 0;
};

// Milliseconds from now until `deadline`, at least 0.
int msUntil(TcpLineClient::Clock::time_point deadline);

} // namespace zek::net
