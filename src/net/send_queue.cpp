#include "net/send_queue.h"

namespace zek::net {

SendQueue::Status SendQueue::write(StreamSocket& socket, std::span<const std::uint8_t> bytes, bool hold,
                                   int& error) {
    if (bytes.size() > kLimit - pending()) {
        error = noBufferError();
        return Status::Failed;
    }
    const bool behind = waiting();
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return hold || behind ? Status::Waiting : flush(socket, error);
}

SendQueue::Status SendQueue::flush(StreamSocket& socket, int& error) {
    while (waiting()) {
        std::size_t taken = 0;
        const auto sent = socket.send({m_bytes.data() + m_sent, pending()}, taken);
        if (sent == StreamSocket::SendResult::Done && taken > 0) {
            m_sent += taken;
            continue;
        }
        if (sent == StreamSocket::SendResult::Failed) {
            error = socket.lastError();
            clear();
            return Status::Failed;
        }
        // Keep only what still waits, so the queue holds at most its limit.
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + std::ptrdiff_t(m_sent));
        m_sent = 0;
        return Status::Waiting;
    }
    clear();
    return Status::Sent;
}

void SendQueue::clear() {
    m_bytes.clear();
    m_sent = 0;
}

} // namespace zek::net
