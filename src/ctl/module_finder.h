#pragma once

#include "core/scan/device_table.h"
#include "net/tcp_line_client.h"
#include "net/udp_socket.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace zek::cli {

// Prints one line of traffic ("SND: ...", "RCV: ..."); empty when nothing is traced.
using Trace = std::function<void(std::string_view line)>;
using Clock = net::TcpLineClient::Clock;

// The UDP side: searches from one PC interface address and sends set-values and reboots,
// all to 255.255.255.255:8002 as the window does.
class ModuleFinder {
public:
    explicit ModuleFinder(Trace trace) : m_trace(std::move(trace)) {}

    // Binds to the interface address; `error` says why not.
    bool open(std::uint32_t from, std::string& error);
    bool send(std::span<const std::uint8_t> datagram, std::string& error);
    // Sends a search and gathers the modules that answer into `table` (emptied first) until
    // the deadline, until `enough` holds after an answer, or, with `quietMs`, until no answer
    // has come for that long: a paced fleet is still answering the last search until then.
    bool search(DeviceTable& table, Clock::time_point deadline, const std::function<bool()>& enough,
                std::string& error, int quietMs = 0);

private:
    void collect(DeviceTable& table, Clock::time_point deadline, const std::function<bool()>& enough,
                 int quietMs);

    Trace m_trace;
    net::UdpSocket m_socket;
};

// "00 0A 1B ..." of bytes, for the trace.
std::string hexText(std::span<const std::uint8_t> bytes);

} // namespace zek::cli
