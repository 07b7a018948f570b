#include "sim_helpers.h"

#include <QTest>

namespace zek::test {

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

SimModuleConfig moduleWith(const QString& keys, SimModuleConfig config) {
    for (const QString& pair : keys.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString error = applyModuleKey(config, pair.left(equals), QStringView(pair).mid(equals + 1));
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
    }
    return config;
}

QList<QNetworkDatagram> receive(QUdpSocket& socket, int count) {
    QList<QNetworkDatagram> received;
    (void)QTest::qWaitFor(
        [&] {
            while (socket.hasPendingDatagrams())
                received += socket.receiveDatagram();
            return received.size() >= count;
        },
        10000);
    return received;
}

std::optional<DecodedDevice> decodeDevice(const QNetworkDatagram& datagram) {
    const QByteArray data = datagram.data();
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
    DecodedDatagram decoded = decodeDatagram(bytes, std::uint16_t(datagram.senderPort()),
                                             [](std::string_view key) { return std::string(key); });
    if (auto* device = std::get_if<DecodedDevice>(&decoded))
        return *device;
    return std::nullopt;
}

} // namespace zek::test
