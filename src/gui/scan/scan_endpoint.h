#pragma once

#include "gui/scan/udp_transport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace zek {

// The one UDP socket through which discovery and network configuration travel: bound to
// the chosen PC interface, sending every request to 255.255.255.255:8002. Also owns the
// list of the PC's IPv4 addresses from which that interface is chosen.
class ScanEndpoint {
public:
    using LogFn = std::function<void(const QString&)>;
    using DatagramFn = std::function<void(std::span<const std::uint8_t> bytes, std::uint16_t senderPort)>;

    static constexpr int kReceiveBufferRequest = 4 << 20;
    // Datagrams read per readiness notification; the notification repeats while more wait,
    // so a flood cannot keep the window from other events.
    static constexpr int kReadsPerNotification = 512;

    ScanEndpoint(LogFn log, DatagramFn onDatagram,
                 const UdpTransport::Factory& transport = platformUdpFactory());
    ~ScanEndpoint();
    ScanEndpoint(const ScanEndpoint&) = delete;
    ScanEndpoint& operator=(const ScanEndpoint&) = delete;

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
    std::uint16_t localPort() const { return m_socket->localPort(); }

private:
    void receive();
    void logError(int error);

    LogFn m_log;
    DatagramFn m_onDatagram;
    std::unique_ptr<UdpTransport> m_socket;
    QString m_interfaceText;
    std::uint32_t m_pcIp = 0;
};

} // namespace zek
