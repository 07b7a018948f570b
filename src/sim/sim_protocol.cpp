#include "sim/sim_protocol.h"

#include <algorithm>

namespace zek {

namespace {

quint32 readBig32(QByteArrayView bytes, int offset) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    return value;
}

void appendBig16(QByteArray& out, quint16 value) {
    out.append(static_cast<char>(value >> 8));
    out.append(static_cast<char>(value & 0xFF));
}

void appendBig32(QByteArray& out, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

QByteArray header(SimCommand command, const SimMac& mac, quint16 length) {
    QByteArray out;
    out.append('\0');
    out.append(static_cast<char>(command));
    for (quint8 byte : mac)
        out.append(static_cast<char>(byte));
    appendBig16(out, length);
    return out;
}

} // namespace

SimRequest decodeSimRequest(QByteArrayView datagram) {
    SimRequest request;
    const qsizetype size = datagram.size();
    if (size < 2) {
        request.ignoredReason = QStringLiteral("no command byte");
        return request;
    }
    request.command = static_cast<quint8>(datagram[1]);
    if (size < kSimHeaderSize) {
        request.ignoredReason = QStringLiteral("shorter than the %1-byte header").arg(kSimHeaderSize);
        return request;
    }
    for (int i = 0; i < 6; ++i)
        request.mac[i] = static_cast<quint8>(datagram[2 + i]);

    switch (static_cast<SimCommand>(request.command)) {
    case SimCommand::Search:
        request.kind = SimRequest::Kind::Search;
        break;
    case SimCommand::Reboot:
        request.kind = SimRequest::Kind::Reboot;
        break;
    case SimCommand::SetValues: {
        if (size < kSimSetValuesSize) {
            request.ignoredReason =
                QStringLiteral("set-values of %1 bytes, needs %2").arg(size).arg(kSimSetValuesSize);
            return request;
        }
        const quint16 length =
            static_cast<quint16>((static_cast<quint8>(datagram[8]) << 8) | static_cast<quint8>(datagram[9]));
        NetworkValues& values = request.values;
        values.dhcp = static_cast<quint8>(datagram[10]);
        values.ip = readBig32(datagram, 11);
        values.port = static_cast<quint16>((static_cast<quint8>(datagram[15]) << 8) |
                                           static_cast<quint8>(datagram[16]));
        values.netmask = readBig32(datagram, 17);
        values.gateway = readBig32(datagram, 21);
        values.nameField = datagram.sliced(25, kSimNameFieldSize).toByteArray();
        // The mode byte counts only when the length field announces it and it arrived.
        request.carriesMode = length >= kSimSetValuesSizeWithMode && size >= kSimSetValuesSizeWithMode;
        if (request.carriesMode)
            values.mode = static_cast<quint8>(datagram[58]);
        request.kind = SimRequest::Kind::SetValues;
        break;
    }
    default:
        request.ignoredReason = QStringLiteral("command %1 is not one a module acts on").arg(request.command);
        break;
    }
    return request;
}

SimUdpAction actOnRequest(SimModule& module, const SimRequest& request) {
    using Kind = SimUdpAction::Kind;
    switch (request.kind) {
    case SimRequest::Kind::Search:
        if (module.isRebooting())
            return {};
        return {Kind::Reply, encodeSearchReply(module.mac(), module.serial(), module.network())};
    case SimRequest::Kind::SetValues:
        if (request.mac != module.mac() || module.faults().ignoreSet)
            return {};
        module.storePending(request.values, request.carriesMode);
        return {Kind::Stored, {}};
    case SimRequest::Kind::Reboot:
        if (request.mac != module.mac())
            return {};
        if (module.isRebooting())
            return {Kind::AlreadyRebooting, {}};
        module.setRebooting(true);
        return {Kind::Reboot, {}};
    case SimRequest::Kind::Ignored:
        break;
    }
    return {};
}

QByteArray encodeSearchReply(const SimMac& mac, quint32 serial, const NetworkValues& values) {
    const int size = values.mode ? kSimReplySizeWithMode : kSimReplySize;
    QByteArray out = header(SimCommand::SearchReply, mac, static_cast<quint16>(size));
    out.reserve(size);
    out.append(static_cast<char>(values.dhcp));
    appendBig32(out, values.ip);
    appendBig16(out, values.port);
    appendBig32(out, values.netmask);
    appendBig32(out, values.gateway);
    QByteArray name = values.nameField.left(kSimNameFieldSize);
    name.append(kSimNameFieldSize - name.size(), '\0');
    out.append(name);
    appendBig32(out, serial);
    if (values.mode)
        out.append(static_cast<char>(*values.mode));
    return out;
}

QByteArray encodeSoftwareInfo(const SimMac& mac, QByteArrayView text) {
    const QByteArrayView cut = text.first(std::min<qsizetype>(text.size(), 0xFFFF - kSimHeaderSize));
    QByteArray out = header(SimCommand::SoftwareInfo, mac, static_cast<quint16>(cut.size()));
    out.append(cut);
    return out;
}

QString simCommandName(int command) {
    switch (command) {
    case int(SimCommand::Search):
        return QStringLiteral("search");
    case int(SimCommand::SearchReply):
        return QStringLiteral("search-reply");
    case int(SimCommand::SetValues):
        return QStringLiteral("set-values");
    case int(SimCommand::Reboot):
        return QStringLiteral("reboot");
    case int(SimCommand::SoftwareInfo):
        return QStringLiteral("software-info");
    default:
        return QStringLiteral("command %1").arg(command);
    }
}

} // namespace zek
