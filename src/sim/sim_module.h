#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace zek {

using SimMac = std::array<quint8, 6>;

// Bytes of the name field on the wire: up to 32 characters and a terminating zero.
inline constexpr int kSimNameFieldSize = 33;
inline constexpr char kSimDefaultSoftware[] = "SW 1.02 TLSHXD";

// The network values a module reports in its search reply and takes from a set-values
// request. Addresses hold the first dotted number in bits 31-24.
struct NetworkValues {
    quint8 dhcp = 0;
    quint32 ip = 0;
    quint16 port = 0;
    quint32 netmask = 0;
    quint32 gateway = 0;
    // Exactly kSimNameFieldSize bytes, echoed as stored: a module keeps whatever the
    // field held after the terminator, and a field without any zero byte is sent as is.
    QByteArray nameField = QByteArray(kSimNameFieldSize, '\0');
    // Absent: the module's firmware reports no Ethernet mode (62-byte reply).
    std::optional<quint8> mode;

    // The name up to its first zero byte, at most 32 characters.
    QByteArray name() const;
    // Stores up to 33 characters: 32 or fewer get a terminator, 33 fill the field
    // without one.
    void setName(QByteArrayView text);

    friend bool operator==(const NetworkValues&, const NetworkValues&) = default;
};

// One yearly daylight-saving switch rule, as the module stores and reports it.
struct SimDstRule {
    int occurrence = 4; // 0 first .. 3 fourth; 4 fifth, or the last one when there is no fifth
    int weekday = 0;    // 0 Sunday .. 6 Saturday
    int month = 3;      // 1..12
    int hour = 2;       // 0..23, minute 0

    friend bool operator==(const SimDstRule&, const SimDstRule&) = default;
};

// What the module reports and keeps behind its TCP text protocol.
struct SimDeviceState {
    // Capability letters of the "modul_config" line: T traps, L logger and clock; S, H,
    // X and D are only shown by the tool.
    QByteArray letters = "TLSHXD";
    // The "modul_typ" line is "modul_typ <moduleType> date <swDate> SW: <swVersion>": the
    // tool shows the text from four characters after "SW" to the end of the line, a
    // blank and the 13 characters from "date" on.
    QByteArray moduleType = "ZEK-100";
    QByteArray swVersion = "1.02";
    QByteArray swDate = "05.12.24";
    // The start message ends with "modul_time_utc" and "modul_time_local" lines.
    bool startTimeLines = true;
    QByteArray deviceType = "ZEK 100 Ethernet"; // "!GERAET"
    QByteArray revision = "B2";                 // "!REVISION"
    QByteArray company = "MERIDON";             // "!FIRMA"
    bool loggerOn = false;
    int logInterval = 15; // 1..60; kept while the logger is off
    bool hasRtc = true;
    // Module UTC minus host UTC, in seconds; setting the clock changes it.
    qint64 clockOffsetSecs = 0;
    int zoneMinutes = 60; // standard offset, minutes east of UTC
    bool dstUse = true;
    SimDstRule dstStart{4, 0, 3, 2};
    SimDstRule dstStop{4, 0, 10, 3};
    // First dotted number in bits 31-24; 0 is an unused receiver.
    std::array<quint32, 3> trapIps{};
    QByteArray snmpLocation = "Server room";
};

// Misbehaviour of one module's TCP side, for testing the tool against a bad peer.
// Keywords are written without "?" or "!" (e.g. "GERAET", "TIME_UTC") and stand for
// both the query and the set; a command they catch is not acted on.
struct SimFaults {
    QSet<QByteArray> neverAnswer;                      // received, never answered
    QMap<QByteArray, int> errorFor;                    // answered "!ERROR n" instead
    QMap<QByteArray, QList<QByteArray>> customReplies; // these lines, sent as they are, instead
    bool crlf = false;                                 // lines end in CR LF instead of CR
    bool noLineEnd = false;                            // lines end in nothing at all (wins over crlf)
    // Each write is cut in two halves, the second written after FleetOptions::splitPauseMs.
    bool split = false;
    // All lines of one reply in a single write (otherwise one write per line).
    bool merge = false;
    int flood = 0;    // this many extra lines "flood <n>" after each reply
    int longLine = 0; // an extra line of exactly this many characters after each reply; 0 none
    // After answering the n-th command (counted per connection; 0 never): close the
    // connection in order, reset it (RST, linger 0), or shut down the sending side only
    // and stop answering while still reading.
    int closeAfter = 0;
    int resetAfter = 0;
    int halfCloseAfter = 0;
    // After the n-th command: the first half of its reply, then a reset (RST).
    int resetMidReply = 0;
    // Every byte of a reply is written on its own, this many milliseconds after the one
    // before; 0 off.
    int dripMs = 0;
    // Every command is answered with bytes that are no reply: binary, with NUL, CR, LF and
    // bytes above 0x7F, the same for the same module and command count.
    bool garbage = false;
    bool refuse = false;    // no listener: connections are refused
    bool silent = false;    // accepts and reads, never answers
    bool ignoreSet = false; // set-values requests are dropped, so a change never takes

    friend bool operator==(const SimFaults&, const SimFaults&) = default;
};

struct SimModuleConfig {
    SimMac mac{};
    quint32 serial = 0;
    NetworkValues network;
    QByteArray software = kSimDefaultSoftware;
    SimDeviceState state;
    SimFaults faults;
};

// One simulated module: its identity, the values it reports, and the values a
// set-values request left for the next reboot.
class SimModule {
public:
    explicit SimModule(SimModuleConfig config);

    const SimMac& mac() const { return m_config.mac; }
    quint32 serial() const { return m_config.serial; }
    const NetworkValues& network() const { return m_config.network; }
    const std::optional<NetworkValues>& pending() const { return m_pending; }
    const QByteArray& software() const { return m_config.software; }
    void setSoftware(QByteArray text) { m_config.software = std::move(text); }

    // Read afresh by the TCP side for every command, so changes apply at once; a change
    // of SimFaults::refuse needs SimFleet::setFaults to open or close the listener.
    SimDeviceState& state() { return m_config.state; }
    const SimDeviceState& state() const { return m_config.state; }
    SimFaults& faults() { return m_config.faults; }
    const SimFaults& faults() const { return m_config.faults; }
    // A module configured with TCP port 0 reports the port its listener was given.
    void assignPort(quint16 port) { m_config.network.port = port; }

    // Keeps the values for the next reboot; a later set-values replaces them. A mode
    // that the request does not carry, or that this module does not report, stays as
    // it is.
    void storePending(const NetworkValues& values, bool carriesMode);
    // Applies the pending values, as the firmware does on start-up. Returns whether
    // anything the module reports changed.
    bool reboot();

    bool isRebooting() const { return m_rebooting; }
    void setRebooting(bool rebooting) { m_rebooting = rebooting; }

private:
    SimModuleConfig m_config;
    std::optional<NetworkValues> m_pending;
    bool m_rebooting = false;
};

// "%02X %02X %02X %02X %02X %02X", as modules are listed by the tool.
QString simMacText(const SimMac& mac);
// Accepts six hex pairs separated by blanks, colons or hyphens, or twelve hex digits.
std::optional<SimMac> parseSimMac(QStringView text);
QString ipv4Text(quint32 address);
std::optional<quint32> parseIpv4(QStringView text);

} // namespace zek
