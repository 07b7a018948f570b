#pragma once

#include <QByteArray>
#include <QByteArrayView>
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

struct SimModuleConfig {
    SimMac mac{};
    quint32 serial = 0;
    NetworkValues network;
    QByteArray software = kSimDefaultSoftware;
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
