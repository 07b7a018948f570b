#include "net/tcp_line_client.h"

#include "net/readiness.h"

#include <algorithm>
#include <array>

namespace zek::net {

int msUntil(TcpLineClient::Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TcpLineClient::Clock::now());
    return int(std::clamp<long long>(left.count(), 0, 24 * 3600 * 1000));
}

TcpLineClient::Status TcpLineClient::fail(Status status, int error) {
    m_error = error;
    return status;
}

TcpLineClient::Status TcpLineClient::connect(std::uint32_t local, std::uint32_t address, std::uint16_t port,
                                             Clock::time_point deadline) {
    close();
    if (!m_socket.open() || !m_socket.bind(local) || !m_socket.startConnect(address, port))
        return fail(Status::Failed, m_socket.lastError());
    Watch watch{m_socket.handle(), false, true};
    if (waitReady({&watch, 1}, msUntil(deadline)) <= 0)
        return fail(Status::TimedOut, 0);
    if (const int error = m_socket.connectError(); error != 0)
        return fail(Status::Failed, error);
    return Status::Ok;
}

TcpLineClient::Status TcpLineClient::send(std::string_view text, Clock::time_point deadline) {
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    while (!bytes.empty()) {
        std::size_t taken = 0;
        switch (m_socket.send(bytes, taken)) {
        case TcpSocket::SendResult::Done:
            bytes = bytes.subspan(taken);
            break;
        case TcpSocket::SendResult::WouldBlock: {
            Watch watch{m_socket.handle(), false, true};
            if (waitReady({&watch, 1}, msUntil(deadline)) <= 0)
                return fail(Status::TimedOut, 0);
            break;
        }
        case TcpSocket::SendResult::Failed:
            return fail(Status::Failed, m_socket.lastError());
        }
    }
    return Status::Ok;
}

TcpLineClient::Status TcpLineClient::receive(Clock::time_point deadline, const LineSplitter::LineFn& onLine,
                                             std::size_t& lines) {
    lines = 0;
    if (m_ended)
        return fail(Status::Closed, m_error);
    Watch watch{m_socket.handle(), true, false};
    if (waitReady({&watch, 1}, msUntil(deadline)) <= 0)
        return Status::TimedOut;
    // The session's reads: at most 2047 bytes at a time.
    std::array<std::uint8_t, 2047> buffer{};
    std::size_t received = 0;
    switch (m_socket.read(buffer, received)) {
    case TcpSocket::ReadResult::Data:
        lines = m_splitter.feed({buffer.data(), received}, onLine);
        return Status::Ok;
    case TcpSocket::ReadResult::WouldBlock:
        return Status::Ok;
    case TcpSocket::ReadResult::Ended:
        m_ended = true;
        return fail(Status::Closed, m_socket.lastError());
    case TcpSocket::ReadResult::Failed:
        break;
    }
    return fail(Status::Failed, m_socket.lastError());
}

void TcpLineClient::close() {
    m_socket.close();
    m_splitter.clear();
    m_ended = false;
    m_error = 0;
}

} // namespace zek::net
