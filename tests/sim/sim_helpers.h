#pragma once

#include "core/scan/device_protocol.h"
#include "sim/fleet_config.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <optional>

namespace zek::test {

// "00 0A 1B" -> the three bytes.
inline QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

// Sets "key=value;key=value" as a fleet file would, so that the keys are exercised too.
inline SimModuleConfig moduleWith(const QString& keys, SimModuleConfig config = generatedModule(0)) {
    for (const QString& pair : keys.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (const QString error =
                applyModuleKey(config, pair.left(equals), QStringView(pair).mid(equals + 1));
            !error.isEmpty())
            qFatal("%s", qPrintable(error));
    }
    return config;
}

// The datagrams that reach `socket` until there are `count`, or 10 s have passed.
inline QList<QNetworkDatagram> receive(QUdpSocket& socket, int count) {
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

// The tool's own decoding of a received search reply.
inline std::optional<DecodedDevice> decodeDevice(const QNetworkDatagram& datagram) {
    const QByteArray data = datagram.data();
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
    DecodedDatagram decoded = decodeDatagram(bytes, std::uint16_t(datagram.senderPort()),
                                             [](std::string_view key) { return std::string(key); });
    if (auto* device = std::get_if<DecodedDevice>(&decoded))
        return *device;
    return std::nullopt;
}

} // namespace zek::test
