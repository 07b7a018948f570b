#include "core/scan/network_settings.h"

#include "core/text/c_scan.h"

#include <cstdio>

namespace zek {

namespace {

std::array<std::string, 4> octets(std::uint32_t address) {
    std::array<std::string, 4> texts;
    for (int i = 0; i < 4; ++i)
        texts[std::size_t(i)] = std::to_string((address >> (24 - 8 * i)) & 0xFF);
    return texts;
}

std::uint32_t address(const std::array<std::string, 4>& fields) {
    std::uint32_t value = 0;
    for (const auto& field : fields)
        value =
            value << 8 | leadingDigits(field, 255); // a number above 255 must not spill into its neighbour
    return value;
}

} // namespace

NetworkPanelValues panelFromRecord(const DeviceRecord& record) {
    NetworkPanelValues panel;
    panel.ip = octets(record.Ip);
    panel.netmask = octets(record.Netmask);
    panel.gateway = octets(record.Gateway);
    for (std::size_t i = 0; i < record.Mac.size(); ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", record.Mac[i]);
        panel.mac[i] = hex;
    }
    panel.name = record.nameText();
    panel.port = std::to_string(record.Port);
    panel.serial = std::to_string(record.SerialNumber);
    panel.dhcp = record.Dhcp != 0;
    if (record.EthMode == ETH_MODE_NOT_REPORTED) {
        panel.modeIndex = -1;
        panel.modeEnabled = false;
    } else if (record.EthMode & ETH_MODE_UNKNOWN_FLAG) {
        panel.modeIndex = -1;
        panel.modeEnabled = true;
    } else {
        panel.modeIndex = record.EthMode;
        panel.modeEnabled = true;
    }
    return panel;
}

void storePanel(const NetworkPanelValues& panel, DeviceRecord& record) {
    record.Ip = address(panel.ip);
    record.Netmask = address(panel.netmask);
    record.Gateway = address(panel.gateway);
    record.Port = std::int32_t(leadingDigits(panel.port, 65535));
    record.Dhcp = panel.dhcp ? 1 : 0;
    record.setName(panel.name);
    if (record.EthMode != ETH_MODE_NOT_REPORTED && panel.modeIndex >= 0 && panel.modeIndex < kEthModeCount)
        record.EthMode = panel.modeIndex;
}

} // namespace zek
