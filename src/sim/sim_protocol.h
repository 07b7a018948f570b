#pragma once

#include "sim/sim_module.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zek {

// The module's side of the UDP datagram protocol. Written from what the tool expects
// of a module, independently of the tool's own codec, so that tests can check that
// the two meet.
inline constexpr quint16 kSimUdpPort = 8002;
inline constexpr int kSimHeaderSize = 10;
inline constexpr int kSimReplySize = 62;
inline constexpr int kSimReplySizeWithMode = 63;
inline constexpr int kSimSetValuesSize = 58;
inline constexpr int kSimSetValuesSizeWithMode = 59;

enum class SimCommand : quint8 {
    Search = 1,
    SearchReply = 3,
    SetValues = 4,
    Reboot = 5,
    SoftwareInfo = 8,
};

// What a module makes of one received datagram.
struct SimRequest {
    enum class Kind { Ignored, Search, SetValues, Reboot };
    Kind kind = Kind::Ignored;
    int command = -1; // byte 1, or -1 when the datagram has none
    SimMac mac{};     // bytes 2-7, zero when the datagram is shorter
    NetworkValues values;
    bool carriesMode = false;
    QString ignoredReason; // set for Kind::Ignored
};

// Lenient as a module is: the reserved byte and the length field are not checked; only
// the command byte, the size a command needs, and the addressed MAC count.
SimRequest decodeSimRequest(QByteArrayView datagram);

// What one module does on hearing a request.
struct SimUdpAction {
    enum class Kind {
        None,             // not meant for it, or it is rebooting and hears nothing
        Reply,            // send `reply` back to the sender
        Stored,           // set-values kept for the next reboot; no answer
        Reboot,           // it is rebooting now; SimModule::reboot() brings it up; no answer
        AlreadyRebooting, // a reboot request while it reboots changes nothing
    };
    Kind kind = Kind::None;
    QByteArray reply;
};
SimUdpAction actOnRequest(SimModule& module, const SimRequest& request);

// 63 bytes when the module reports a mode, else 62.
QByteArray encodeSearchReply(const SimMac& mac, quint32 serial, const NetworkValues& values);
// The length field holds the text's length; the text carries no terminator.
QByteArray encodeSoftwareInfo(const SimMac& mac, QByteArrayView text);

QString simCommandName(int command);

} // namespace zek
