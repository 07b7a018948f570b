#include "sim/sim_module.h"

#include <QRegularExpression>

#include <algorithm>

namespace zek {

QByteArray NetworkValues::name() const {
    const qsizetype end = nameField.indexOf('\0');
    return nameField.left(std::min<qsizetype>(end < 0 ? nameField.size() : end, kSimNameFieldSize - 1));
}

void NetworkValues::setName(QByteArrayView text) {
    nameField = text.first(std::min<qsizetype>(text.size(), kSimNameFieldSize)).toByteArray();
    nameField.append(kSimNameFieldSize - nameField.size(), '\0');
}

SimModule::SimModule(SimModuleConfig config) : m_config(std::move(config)) {
    m_config.network.nameField.resize(kSimNameFieldSize, '\0');
}

void SimModule::storePending(const NetworkValues& values, bool carriesMode) {
    NetworkValues next = values;
    next.nameField.resize(kSimNameFieldSize, '\0');
    // A module without a reported mode has firmware that knows no mode byte.
    if (!carriesMode || !m_config.network.mode)
        next.mode = m_config.network.mode;
    m_pending = std::move(next);
}

bool SimModule::reboot() {
    m_rebooting = false;
    if (!m_pending)
        return false;
    const bool changed = *m_pending != m_config.network;
    m_config.network = std::move(*m_pending);
    m_pending.reset();
    return changed;
}

QString simMacText(const SimMac& mac) {
    return QString::asprintf("%02X %02X %02X %02X %02X %02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}

std::optional<SimMac> parseSimMac(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9A-Fa-f]{2})(?:[ :-]?([0-9A-Fa-f]{2})){5}$"));
    QString digits = text.trimmed().toString();
    if (!pattern.match(digits).hasMatch())
        return std::nullopt;
    // Mixed separators ("00:0A 1B") are refused: one separator or none throughout.
    const QString separators = QString(digits).remove(QRegularExpression(QStringLiteral("[0-9A-Fa-f]")));
    if (!separators.isEmpty() && (separators.size() != 5 || separators.count(separators[0]) != 5))
        return std::nullopt;
    digits.remove(QRegularExpression(QStringLiteral("[ :-]")));
    SimMac mac{};
    for (int i = 0; i < 6; ++i)
        mac[i] = static_cast<quint8>(digits.mid(2 * i, 2).toUInt(nullptr, 16));
    return mac;
}

QString ipv4Text(quint32 address) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

std::optional<quint32> parseIpv4(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    quint32 address = 0;
    for (int i = 1; i <= 4; ++i) {
        const uint part = match.capturedView(i).toUInt();
        if (part > 255)
            return std::nullopt;
        address = (address << 8) | part;
    }
    return address;
}

} // namespace zek
