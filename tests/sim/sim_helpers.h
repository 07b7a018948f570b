#pragma once

#include "core/scan/device_protocol.h"
#include "sim/fleet_config.h"

#include <QByteArray>
#include <QList>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <optional>

namespace zek::test {

// "00 0A 1B" -> the three bytes.
QByteArray hex(const char* spaced);
// Sets "key=value;key=value" as a fleet file would, so that the keys are exercised too.
SimModuleConfig moduleWith(const QString& keys, SimModuleConfig config = generatedModule(0));
// The datagrams that reach `socket` until there are `count`, or 10 s have passed.
QList<QNetworkDatagram> receive(QUdpSocket& socket, int count);
// The tool's own decoding of a received search reply.
std::optional<DecodedDevice> decodeDevice(const QNetworkDatagram& datagram);

} // namespace zek::test
