#include "gui/scan/scan_endpoint.h"

#include "core/scan/device_protocol.h"
#include "gui/scan/host_interfaces.h"

#include <array>

namespace zek {

namespace {

QString dotted(std::uint32_t address) {
    return QString::fromStdString(dottedText(address));
}

} // namespace

ScanEndpoint::ScanEndpoint(LogFn log, DatagramFn onDatagram, const UdpTransport::Factory& transport)
    : m_log(std::move(log)), m_onDatagram(std::move(onDatagram)), m_socket(transport([this] { receive(); })) {
}

ScanEndpoint::~ScanEndpoint() {
    close();
}

QStringList ScanEndpoint::fillInterfaceList() {
    const auto addresses = hostIpv4Addresses();
    QStringList entries;
    for (std::size_t n = 0; n < addresses.size(); ++n)
        entries << QStringLiteral("%1: %2").arg(n + 1).arg(dotted(addresses[n]));
    if (addresses.empty()) {
        m_interfaceText.clear();
        m_log(QStringLiteral("ZEKConfig: No IPv4 address found on this PC"));
    } else {
        m_interfaceText = QStringLiteral("Netz %1: %2 ").arg(1).arg(dotted(addresses.front()));
    }
    return entries;
}

bool ScanEndpoint::selectInterface(int index) {
    // Read afresh, as an address may have changed since the list was filled.
    const auto addresses = hostIpv4Addresses();
    if (index < 0 || std::size_t(index) >= addresses.size()) {
        close();
        m_log(QStringLiteral("ZEKConfig: No PC address for interface %1").arg(index + 1));
        return false;
    }
    m_pcIp = addresses[std::size_t(index)];
    return open(m_pcIp);
}

bool ScanEndpoint::open(std::uint32_t address) {
    close();
    if (!m_socket->create()) {
        m_log(QStringLiteral("ZEKConfig: UDP Error on CreateSocket()"));
        close();
        return false;
    }
    m_socket->setBroadcast(true);
    if (!m_socket->bind(address)) {
        m_log(QStringLiteral("ZEKConfig: UDP Error on BindSocket()"));
        close();
        return false;
    }
    m_socket->setBroadcast(true);
    // Hundreds of modules answer a search at once; a small buffer would drop replies.
    const int granted = m_socket->requestReceiveBuffer(kReceiveBufferRequest);
    if (granted < kReceiveBufferRequest)
        m_log(QStringLiteral("ZEKConfig: UDP receive buffer %1 bytes (asked for %2)")
                  .arg(granted)
                  .arg(kReceiveBufferRequest));
    return true;
}

bool ScanEndpoint::send(std::span<const std::uint8_t> bytes) {
    if (!m_socket->isOpen()) {
        logError(m_socket->notOpenError());
        return false;
    }
    switch (m_socket->sendTo(bytes, 0xFFFFFFFFu, DEVICE_UDP_PORT)) {
    case UdpTransport::Result::Done:
        return true;
    case UdpTransport::Result::WouldBlock:
        return false;
    case UdpTransport::Result::Failed:
        break;
    }
    logError(m_socket->lastError());
    close();
    return false;
}

void ScanEndpoint::close() {
    m_socket->close();
}

void ScanEndpoint::receive() {
    std::array<std::uint8_t, UDP_REPLY_BUFFER> buffer;
    for (int n = 0; n < kReadsPerNotification && m_socket->isOpen(); ++n) {
        std::size_t received = 0;
        std::uint16_t senderPort = 0;
        switch (m_socket->receive(buffer, received, senderPort)) {
        case UdpTransport::Result::Done:
            m_onDatagram(std::span(buffer.data(), received), senderPort);
            break;
        case UdpTransport::Result::WouldBlock:
            return;
        case UdpTransport::Result::Failed:
            logError(m_socket->lastError());
            return;
        }
    }
}

void ScanEndpoint::logError(int error) {
    m_log(QStringLiteral("ZEKConfig: UDP Error %1 (%2)")
              .arg(error)
              .arg(QString::fromStdString(m_socket->reasonText(error))));
}

} // namespace zek
