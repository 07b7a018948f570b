#pragma once

#include "core/scan/device_protocol.h"
#include "core/scan/device_record.h"
#include "net/tcp_line_client.h"
#include "net/udp_socket.h"

#include <functional>
#include <map>
#include <memory>
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

// The modules' UDP side, Qt-free, for the window and zekctl alike: binds to one PC interface
// address, broadcasts searches, set-values and reboots to 255.255.255.255:8002, drains every
// datagram that comes back and decodes it. The window drives it from its loop's readiness;
// zekctl's calls wait.
class SearchEndpoint {
public:
    using Result = DatagramSocket::Result;
    // The step of opening that failed, if any, with the platform's error number.
    enum class OpenStep { Done, Create, Bind, Broadcast };
    struct Opened {
        OpenStep failed = OpenStep::Done;
        int error = 0;
        int receiveBuffer = 0; // bytes the system granted
    };
    using DecodedFn = std::function<void(const DecodedDatagram& decoded)>;

    // A search answered by hundreds of modules at once must lose none.
    static constexpr int kReceiveBufferRequest = 4 << 20;

    explicit SearchEndpoint(Trace trace, const DatagramSocketFactory& socket = UdpSocket::factory())
        : m_trace(std::move(trace)), m_socket(socket()) {}

    // Binds to the interface address. A socket whose broadcast option was refused stays
    // open: its broadcasts fail and say why.
    Opened open(std::uint32_t from);
    // As above, and any failure closes it; `error` says why.
    bool open(std::uint32_t from, std::string& error);
    // Hands the datagram to the network now; Failed with lastError().
    Result sendNow(std::span<const std::uint8_t> datagram);
    // Waits a little for room in the socket's queue; `error` says why it failed.
    bool send(std::span<const std::uint8_t> datagram, std::string& error);
    // Reads and decodes the datagrams that wait, at most `limit` of them: WouldBlock once
    // none waits, Done when the limit ended it, Failed with lastError(). Module texts are
    // looked up with `lookup`.
    Result drain(const TextLookup& lookup, const DecodedFn& onDecoded, int limit = kNoLimit);
    // Sends a search and gathers the modules that answer into `modules` (emptied first) until
    // the deadline, until `enough` holds after an answer, or, with `quietMs`, until no answer
    // has come for that long: a paced fleet is still answering the last search until then.
    bool search(ModuleList& modules, Clock::time_point deadline, const std::function<bool()>& enough,
                std::string& error, int quietMs = 0);
    void close() { m_socket->close(); }

    bool isOpen() const { return m_socket->isOpen(); }
    SocketHandle handle() const { return m_socket->handle(); }
    std::uint16_t localPort() const { return m_socket->localPort(); }
    int lastError() const { return m_socket->lastError(); }

private:
    static constexpr int kNoLimit = -1;

    void collect(ModuleList& modules, Clock::time_point deadline, const std::function<bool()>& enough,
                 int quietMs);

    Trace m_trace;
    std::unique_ptr<DatagramSocket> m_socket;
};

// "00 0A 1B ..." of bytes, for the trace.
std::string hexText(std::span<const std::uint8_t> bytes);

} // namespace zek::net
