#include "net/search_endpoint.h"

#include "net/readiness.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zek::net {

namespace {

constexpr std::uint32_t kBroadcast = 0xFFFFFFFF;
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

SearchEndpoint::Opened SearchEndpoint::open(std::uint32_t from) {
    const auto failed = [this](OpenStep step) { return Opened{step, m_socket->lastError(), 0}; };
    if (!m_socket->open())
        return failed(OpenStep::Create);
    if (!m_socket->bind(from)) {
        Opened opened = failed(OpenStep::Bind);
        m_socket->close();
        return opened;
    }
    const int granted = m_socket->requestReceiveBuffer(kReceiveBufferRequest);
    Opened opened = m_socket->setBroadcast(true) ? Opened{} : failed(OpenStep::Broadcast);
    opened.receiveBuffer = granted;
    return opened;
}

bool SearchEndpoint::open(std::uint32_t from, std::string& error) {
    const Opened opened = open(from);
    if (opened.failed == OpenStep::Done)
        return true;
    close();
    error = "cannot open a UDP socket on " + dottedText(from) + ": " + errorText(opened.error);
    return false;
}

SearchEndpoint::Result SearchEndpoint::sendNow(std::span<const std::uint8_t> datagram) {
    const Result result = m_socket->sendTo(datagram, kBroadcast, DEVICE_UDP_PORT);
    if (result == Result::Done && m_trace)
        m_trace("SND: " + hexText(datagram));
    return result;
}

bool SearchEndpoint::send(std::span<const std::uint8_t> datagram, std::string& error) {
    for (;;) {
        const Result result = sendNow(datagram);
        if (result == Result::Done)
            return true;
        if (result == Result::WouldBlock) {
            Watch watch{m_socket->handle(), false, true};
            if (waitReady({&watch, 1}, kSendRoomMs) > 0)
                continue;
        }
        error = "cannot send to 255.255.255.255:8002: " + errorText(m_socket->lastError());
        return false;
    }
}

SearchEndpoint::Result SearchEndpoint::drain(const TextLookup& lookup, const DecodedFn& onDecoded,
                                             int limit) {
    std::array<std::uint8_t, UDP_REPLY_BUFFER> buffer{};
    for (int n = 0; limit == kNoLimit || n < limit; ++n) {
        std::size_t received = 0;
        std::uint16_t port = 0;
        // The handler may close the endpoint.
        const Result result =
            m_socket->isOpen() ? m_socket->receive(buffer, received, port) : Result::WouldBlock;
        if (result != Result::Done)
            return result;
        const auto bytes = std::span(buffer.data(), received);
        if (m_trace)
            m_trace("RCV: " + hexText(bytes));
        onDecoded(decodeDatagram(bytes, port, lookup));
    }
    return Result::Done;
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
    const TextLookup keys = [](std::string_view key) { return std::string(key); };
    const DecodedFn add = [&table](const DecodedDatagram& decoded) {
        if (const auto* device = std::get_if<DecodedDevice>(&decoded))
            table.add(device->record);
    };
    for (;;) {
        const auto until =
            quietMs > 0 ? std::min(deadline, Clock::now() + std::chrono::milliseconds(quietMs)) : deadline;
        Watch watch{m_socket->handle(), true, false};
        if (waitReady({&watch, 1}, msUntil(until)) <= 0)
            return;
        // Everything that waits, before looking at the clock again.
        drain(keys, add);
        if (enough && enough())
            return;
    }
}

} // namespace zek::net
