#pragma once

#include "core/scan/device_protocol.h"
#include "net/search_endpoint.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

namespace zek {

class SocketWatch;

// The window's side of the search endpoint through which discovery and network configuration
// travel: bound to the chosen PC interface, it turns the loop's read readiness into decoded
// datagrams and failures into log lines. Also owns the list of the PC's IPv4 addresses from
// which that interface is chosen.
class ScanEndpoint : public QObject {
public:
    using LogFn = std::function<void(const QString&)>;

    // Datagrams read per readiness notification; the notification repeats while more wait,
    // so a flood cannot keep the window from other events.
    static constexpr int kReadsPerNotification = 512;

    // Module texts in decoded datagrams come from `lookup`; `trace` sees every datagram.
    ScanEndpoint(LogFn log, TextLookup lookup, net::SearchEndpoint::DecodedFn onDecoded,
                 const net::DatagramSocketFactory& socket = net::UdpSocket::factory(), net::Trace trace = {});
    ~ScanEndpoint() override;

    // Reads the PC's addresses; returns the entries "%d: %d.%d.%d.%d" for the "PC-IP:" list.
    QStringList fillInterfaceList();
    // "Netz %d: %d.%d.%d.%d " with the first address: the caption of an idle session.
    QString interfaceText() const { return m_interfaceText; }

    // Takes the PC address at `index` (read afresh) as PcIp and opens the endpoint on it.
    // Returns false, with a log line, when there is no address at that index.
    bool selectInterface(int index);
    std::uint32_t pcIp() const { return m_pcIp; }

    bool open(std::uint32_t address);
    // True when the datagram was handed to the network.
    bool send(std::span<const std::uint8_t> bytes);
    void close();
    std::uint16_t localPort() const { return m_endpoint.localPort(); }

private:
    void receive();
    void logError(int error);

    LogFn m_log;
    TextLookup m_lookup;
    net::SearchEndpoint::DecodedFn m_onDecoded;
    net::SearchEndpoint m_endpoint;
    SocketWatch* m_watch; // a child
    QString m_interfaceText;
    std::uint32_t m_pcIp = 0;
};

} // namespace zek
