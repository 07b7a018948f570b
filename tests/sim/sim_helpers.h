#pragma once

#include "core/scan/device_protocol.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <optional>

namespace zek::test {

// The tool's side of the UDP exchange: a socket bound to one interface address with
// a port of its own choosing, broadcasting to 255.255.255.255.
class ToolSocket {
public:
    explicit ToolSocket(const QHostAddress& address = QHostAddress(QStringLiteral("127.0.0.1")),
                        int receiveBufferBytes = 0);

    bool isBound() const { return m_socket.state() == QAbstractSocket::BoundState; }
    quint16 port() const { return m_socket.localPort(); }
    int receiveBufferBytes();
    bool broadcast(const QByteArray& bytes, quint16 port = 8002);
    bool sendSearch();
    // Runs the event loop until `count` datagrams are in `received` or the time is up.
    bool waitForDatagrams(int count, int timeoutMs = 10000);

    // Every datagram received so far, in arrival order.
    QList<QNetworkDatagram> received;

private:
    QUdpSocket m_socket;
};

QByteArray searchRequest();
QByteArray fromHex(const char* spacedHex);
QByteArray toBytes(const std::vector<std::uint8_t>& bytes);

// The tool's own decoding of a datagram from its sender port.
DecodedDatagram decodeWithTool(const QNetworkDatagram& datagram);
std::optional<DecodedDevice> decodeDevice(const QNetworkDatagram& datagram);

} // namespace zek::test
