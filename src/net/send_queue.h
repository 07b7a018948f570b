#pragma once

#include "net/tcp_socket.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zek::net {

// The bytes for a non-blocking stream socket, sent in order as the socket takes them: what
// it does not take at once waits for its write readiness and is never partly lost.
class SendQueue {
public:
    // Bytes that may wait; a write beyond this is refused, so a peer that never reads cannot
    // make the queue grow without bound.
    static constexpr std::size_t kLimit = 64 * 1024;
    enum class Status { Sent, Waiting, Failed };

    // Takes a copy of all of `bytes` and sends what the socket takes now. With `hold` (a
    // connect under way), or behind earlier bytes that wait, they only wait. Failed, with
    // `error`: nothing taken when the queue is full; everything dropped when the send failed
    // (the connection is broken then, or the socket is not open).
    Status write(StreamSocket& socket, std::span<const std::uint8_t> bytes, bool hold, int& error);
    // Sends what waits until the socket takes no more: Waiting then, Sent once nothing waits.
    // Failed drops everything, with `error`.
    Status flush(StreamSocket& socket, int& error);
    bool waiting() const { return pending() > 0; }
    void clear();

private:
    std::size_t pending() const { return m_bytes.size() - m_sent; }

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_sent = 0;
};

} // namespace zek::net
