#pragma once

#include <QByteArrayView>
#include <QHostAddress>

namespace zek {

// Sends one datagram on a bound UDP socket with the given IPv4 source address, as a
// module answers from its own IP while the fleet shares one socket. Returns the bytes
// sent, or -1 when the platform cannot choose the source or the address is not local;
// the caller then sends without a chosen source.
qint64 sendFromAddress(qintptr socket, QByteArrayView bytes, quint32 source, const QHostAddress& to,
                       quint16 port);

} // namespace zek
