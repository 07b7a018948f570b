// zekprobe: sends one module search from a chosen local address and prints every
// module that answers within a time limit. A command-line check of a module LAN
// (or of the simulated fleet) without the configurator's window.
#include "core/scan/device_protocol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <cstdio>

namespace {

std::string englishText(std::string_view key) {
    static const std::pair<std::string_view, std::string_view> texts[] = {
        {"TXT_TREE_DHCP_ON", "on"},
        {"TXT_TREE_DHCP_OFF", "off"},
        {"TXT_ETH_MODE_0", "Auto"},
        {"TXT_ETH_MODE_1", "10 Mbit half duplex"},
        {"TXT_ETH_MODE_2", "10 Mbit full duplex"},
        {"TXT_ETH_MODE_3", "100 Mbit half duplex"},
        {"TXT_ETH_MODE_4", "100 Mbit full duplex"},
    };
    for (const auto& [k, v] : texts)
        if (k == key)
            return std::string(v);
    return std::string(key);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Sends one module search and prints the modules that answer.");
    parser.addHelpOption();
    parser.addOption(
        {"from", "Local IPv4 address to search from (default 127.0.0.1).", "address", "127.0.0.1"});
    parser.addOption({"timeout", "Milliseconds to wait for answers (default 1500).", "ms", "1500"});
    parser.process(app);

    QHostAddress from(parser.value("from"));
    if (from.protocol() != QAbstractSocket::IPv4Protocol) {
        std::fprintf(stderr, "zekprobe: not an IPv4 address: %s\n", qPrintable(parser.value("from")));
        return 2;
    }
    QUdpSocket socket;
    if (!socket.bind(from, 0)) {
        std::fprintf(stderr, "zekprobe: cannot bind %s: %s\n", qPrintable(from.toString()),
                     qPrintable(socket.errorString()));
        return 1;
    }
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4 << 20));

    int found = 0;
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket.receiveDatagram();
            const QByteArray data = d.data();
            const auto bytes =
                std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), data.size());
            const auto decoded = zek::decodeDatagram(bytes, quint16(d.senderPort()), englishText);
            if (const auto* dev = std::get_if<zek::DecodedDevice>(&decoded)) {
                const auto& t = dev->texts;
                std::printf("%s  Nr %-10s IP %s  mask %s  gw %s  port %s  DHCP %s  mode %s  name \"%s\"\n",
                            t.mac.c_str(), t.serial.c_str(), t.ip.c_str(), t.netmask.c_str(),
                            t.gateway.c_str(), t.port.c_str(), t.dhcp.c_str(), t.mode.c_str(),
                            t.name.c_str());
                ++found;
            } else if (const auto* sw = std::get_if<zek::SoftwareText>(&decoded)) {
                std::printf("software: %s\n", sw->text.c_str());
            }
        }
    });

    const auto search = zek::encodeSearch();
    const auto sent = socket.writeDatagram(reinterpret_cast<const char*>(search.data()), search.size(),
                                           QHostAddress::Broadcast, zek::DEVICE_UDP_PORT);
    if (sent != qint64(search.size())) {
        std::fprintf(stderr, "zekprobe: search not sent: %s\n", qPrintable(socket.errorString()));
        return 1;
    }
    QTimer::singleShot(parser.value("timeout").toInt(), &app, &QCoreApplication::quit);
    app.exec();
    std::printf("%d module(s) answered\n", found);
    return found > 0 ? 0 : 1;
}
