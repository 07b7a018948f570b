#include "net/search_endpoint.h"

#include "core/scan/device_protocol.h"
#include "net/readiness.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zek::net {

namespace {

constexpr std::uint32_t kBroadcast = 0xFFFFFFFF;
// A search answered by hundreds of modules at once must lose none.
constexpr int kReceiveBufferRequest = 4 << 20;
// How long a send waits for room in the socket's queue.
constexpr int kSendRoomMs = 200;

} // namespace

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, out.empty() ? "%02X" : " %02X", b);
        out += two;
    }
    return out;
}

void ModuleList::add(const DeviceRecord& record) {
    const auto [first, added] = m_byMac.emplace(record.Mac, m_records.size());
    if (added) {
        m_records.push_back(record);
        return;
    }
    const auto same = [&](const DeviceRecord& r) {
        return r.CurrentIp == record.CurrentIp && r.Port == record.Port &&
               r.SerialNumber == record.SerialNumber;
    };
    if (!same(m_records[first->second]) && std::none_of(m_sameMac.begin(), m_sameMac.end(), same))
        m_sameMac.push_back(record);
}

void ModuleList::clear() {
    m_records.clear();
    m_sameMac.clear();
    m_byMac.clear();
}

const DeviceRecord* ModuleList::find(const MacAddress& mac) const {
    const auto found = m_byMac.find(mac);
    return found == m_byMac.end() ? nullptr : &m_records[found->second];
}

bool SearchEndpoint::open(std::uint32_t from, std::string& error) {
    if (!m_socket.open() || !m_socket.bind(from) || !m_socket.setBroadcast(true)) {
        error = "cannot open a UDP socket on " + dottedText(from) + ": " + errorText(m_socket.lastError());
        return false;
    }
    m_socket.requestReceiveBuffer(kReceiveBufferRequest);
    return true;
}

bool SearchEndpoint::send(std::span<const std::uint8_t> datagram, std::string& error) {
    for (;;) {
        switch (m_socket.sendTo(datagram, kBroadcast, DEVICE_UDP_PORT)) {
        case UdpSocket::Result::Done:
            if (m_trace)
                m_trace("SND: " + hexText(datagram));
            return true;
        case UdpSocket::Result::WouldBlock: {
            Watch watch{m_socket.handle(), false, true};
            if (waitReady({&watch, 1}, kSendRoomMs) > 0)
                continue;
            break;
        }
        case UdpSocket::Result::Failed:
            break;
        }
        error = "cannot send to 255.255.255.255:8002: " + errorText(m_socket.lastError());
        return false;
    }
}

bool SearchEndpoint::search(ModuleList& table, Clock::time_point deadline,
                            const std::function<bool()>& enough, std::string& error, int quietMs) {
    table.clear();
    if (!send(encodeSearch(), error))
        return false;
    collect(table, deadline, enough, quietMs);
    return true;
}

void SearchEndpoint::collect(ModuleList& table, Clock::time_point deadline,
                             const std::function<bool()>& enough, int quietMs) {
    std::array<std::uint8_t, UDP_REPLY_BUFFER> buffer{};
    for (;;) {
        const auto until =
            quietMs > 0 ? std::min(deadline, Clock::now() + std::chrono::milliseconds(quietMs)) : deadline;
        Watch watch{m_socket.handle(), true, false};
        if (waitReady({&watch, 1}, msUntil(until)) <= 0)
            return;
        // Everything that waits, before looking at the clock again.
        std::size_t received = 0;
        std::uint16_t port = 0;
        while (m_socket.receive(buffer, received, port) == UdpSocket::Result::Done) {
            const auto bytes = std::span(buffer.data(), received);
            if (m_trace)
                m_trace("RCV: " + hexText(bytes));
            const DecodedDatagram decoded =
                decodeDatagram(bytes, port, [](std::string_view key) { return std::string(key); });
            if (const auto* device = std::get_if<DecodedDevice>(&decoded))
                table.add(device->record);
        }
        if (enough && enough())
            return;
    }
}

} // namespace zek::net
