#pragma once

#include <QByteArrayView>
#include <QHostAddress>

#include <optional>

class QCoreApplication;

namespace zek {

// The simulator's few platform calls. Where a platform lacks one, it reports failure and
// the simulator does without: replies leave from the shared socket's address, a bad end
// of a connection becomes an ordinary close, and a signal ends zeksim abruptly.

// Sends one datagram on a bound UDP socket with the given IPv4 source address, as a
// module answers from its own IP while the fleet shares one socket. Returns the bytes
// sent, or -1 when the platform cannot choose the source or the address is not local;
// the caller then sends without a chosen source.
qint64 sendFromAddress(qintptr socket, QByteArrayView bytes, quint32 source, const QHostAddress& to,
                       quint16 port);

// Lingering off with a zero time: closing the socket then sends RST instead of FIN.
bool setResetOnClose(qintptr socket);
// Shuts the sending direction down (FIN); the socket goes on receiving.
bool shutdownSending(qintptr socket);

struct DescriptorLimit {
    qint64 soft = 0; // in force for this process
    qint64 hard = 0; // the most it may be raised to without privileges
};
// Raises the soft limit of open descriptors to the hard one, as every module listens on a
// socket of its own. Returns the limits now in force; nothing where the platform has no
// such limit.
std::optional<DescriptorLimit> raiseDescriptorLimit();

// Turns the platform's quit signals (SIGINT and SIGTERM) into an orderly quit of `app`'s
// event loop.
bool installQuitSignals(QCoreApplication& app);

} // namespace zek
