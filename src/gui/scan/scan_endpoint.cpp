#include "gui/scan/scan_endpoint.h"

#include "gui/app/socket_notifier.h"
#include "gui/scan/host_interfaces.h"

namespace zek {

namespace {

QString dotted(std::uint32_t address) {
    return QString::fromStdString(dottedText(address));
}

} // namespace

ScanEndpoint::ScanEndpoint(LogFn log, TextLookup lookup, net::SearchEndpoint::DecodedFn onDecoded,
                           const net::DatagramSocketFactory& socket, net::Trace trace)
    : m_log(std::move(log)), m_lookup(std::move(lookup)), m_onDecoded(std::move(onDecoded)),
      m_endpoint(std::move(trace), socket), m_watch(new SocketWatch(this)) {
    connect(m_watch, &SocketWatch::readable, this, [this] { receive(); });
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
    using Step = net::SearchEndpoint::OpenStep;
    close();
    const net::SearchEndpoint::Opened opened = m_endpoint.open(address);
    if (opened.failed == Step::Create || opened.failed == Step::Bind) {
        m_log(opened.failed == Step::Create ? QStringLiteral("ZEKConfig: UDP Error on CreateSocket()")
                                            : QStringLiteral("ZEKConfig: UDP Error on BindSocket()"));
        close();
        return false;
    }
    // A refused broadcast option shows as the broadcasts' own failures.
    m_watch->watch(m_endpoint.handle());
    m_watch->setReadEnabled(true);
    // Hundreds of modules answer a search at once; a small buffer would drop replies.
    constexpr int kAsked = net::SearchEndpoint::kReceiveBufferRequest;
    if (opened.receiveBuffer < kAsked)
        m_log(QStringLiteral("ZEKConfig: UDP receive buffer %1 bytes (asked for %2)")
                  .arg(opened.receiveBuffer)
                  .arg(kAsked));
    return true;
}

bool ScanEndpoint::send(std::span<const std::uint8_t> bytes) {
    switch (m_endpoint.sendNow(bytes)) {
    case net::SearchEndpoint::Result::Done:
        return true;
    case net::SearchEndpoint::Result::WouldBlock:
        return false;
    case net::SearchEndpoint::Result::Failed:
        break;
    }
    logError(m_endpoint.lastError());
    close();
    return false;
}

void ScanEndpoint::close() {
    m_watch->stop();
    m_endpoint.close();
}

void ScanEndpoint::receive() {
    if (m_endpoint.drain(m_lookup, m_onDecoded, kReadsPerNotification) == net::SearchEndpoint::Result::Failed)
        logError(m_endpoint.lastError());
}

void ScanEndpoint::logError(int error) {
    m_log(QStringLiteral("ZEKConfig: UDP Error %1 (%2)")
              .arg(error)
              .arg(QString::fromStdString(net::reasonText(error))));
}

} // namespace zek
