#include "sim_helpers.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QVariant>

namespace zek::test {

ToolSocket::ToolSocket(const QHostAddress& address, int receiveBufferBytes) {
    if (!m_socket.bind(address, 0))
        return;
    if (receiveBufferBytes > 0)
        m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                 QVariant(receiveBufferBytes));
    QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
        while (m_socket.hasPendingDatagrams())
            received.append(m_socket.receiveDatagram());
    });
}

int ToolSocket::receiveBufferBytes() {
    return m_socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
}

bool ToolSocket::broadcast(const QByteArray& bytes, quint16 port) {
    return m_socket.writeDatagram(bytes, QHostAddress::Broadcast, port) == bytes.size();
}

bool ToolSocket::sendSearch() {
    return broadcast(searchRequest());
}

bool ToolSocket::waitForDatagrams(int count, int timeoutMs) {
    QSignalSpy readable(&m_socket, &QUdpSocket::readyRead);
    const QDeadlineTimer deadline(timeoutMs);
    while (received.size() < count) {
        const auto remaining = deadline.remainingTime();
        if (remaining <= 0 || !readable.wait(static_cast<int>(remaining)))
            return received.size() >= count;
    }
    return true;
}

QByteArray searchRequest() {
    const auto bytes = encodeSearch();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QByteArray fromHex(const char* spacedHex) {
    return QByteArray::fromHex(QByteArray(spacedHex).replace(' ', ""));
}

QByteArray toBytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

DecodedDatagram decodeWithTool(const QNetworkDatagram& datagram) {
    const QByteArray data = datagram.data();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                              static_cast<std::size_t>(data.size()));
    return decodeDatagram(bytes, static_cast<std::uint16_t>(datagram.senderPort()),
                          [](std::string_view key) { return std::string(key); });
}

std::optional<DecodedDevice> decodeDevice(const QNetworkDatagram& datagram) {
    DecodedDatagram decoded = decodeWithTool(datagram);
    if (auto* device = std::get_if<DecodedDevice>(&decoded))
        return *device;
    return std::nullopt;
}

} // namespace zek::test
