#pragma once

#include "core/scan/device_record.h"
#include "net/tcp_line_client.h"
#include "net/udp_socket.h"

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zek::net {

// Prints one line of traffic ("SND: ...", "RCV: ..."); empty when nothing is traced.
using Trace = std::function<void(std::string_view line)>;
using Clock = TcpLineClient::Clock;

// The modules that answered a search, in order of arrival, each MAC once (its first
// answer). Unlike the window's tree it has no size limit: a script lists every module.
class ModuleList {
public:
    void add(const DeviceRecord& record);
    void clear();
    const std::vector<DeviceRecord>& records() const { return m_records; }
    const DeviceRecord* find(const MacAddress& mac) const;
    // Answers with a MAC already listed from another IP, port or serial: a second module
    // with the same MAC, which a fleet command reports instead of dropping.
    const std::vector<DeviceRecord>& sameMac() const { return m_sameMac; }

private:
    std::vector<DeviceRecord> m_records;
    std::vector<DeviceRecord> m_sameMac;
    std::map<MacAddress, std::size_t> m_byMac;
};

// The modules' UDP side, Qt-free: binds to one PC interface address, broadcasts searches,
// set-values and reboots to 255.255.255.255:8002, drains every datagram that comes back and
// decodes it.
class SearchEndpoint {
public:
    explicit SearchEndpoint(Trace trace) : m_trace(std::move(trace)) {}

    // Binds to the interface address; `error` says why not.
    bool open(std::uint32_t from, std::string& error);
    bool send(std::span<const std::uint8_t> datagram, std::string& error);
    // Sends a search and gathers the modules that answer into `modules` (emptied first) until
    // the deadline, until `enough` holds after an answer, or, with `quietMs`, until no answer
    // has come for that long: a paced fleet is still answering the last search until then.
    bool search(ModuleList& modules, Clock::time_point deadline, const std::function<bool()>& enough,
                std::string& error, int quietMs = 0);

private:
    void collect(ModuleList& modules, Clock::time_point deadline, const std::function<bool()>& enough,
                 int quietMs);

    Trace m_trace;
    UdpSocket m_socket;
};

// "00 0A 1B ..." of bytes, for the trace.
std::string hexText(std::span<const std::uint8_t> bytes);

} // namespace zek::net
