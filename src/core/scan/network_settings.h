#pragma once

#include "core/scan/device_record.h"

#include <array>
#include <string>

namespace zek {

// What the network settings panel shows: the texts of its fields and the state of
// its check box and mode selector.
struct NetworkPanelValues {
    std::array<std::string, 4> ip; // left to right
    std::array<std::string, 4> netmask;
    std::array<std::string, 4> gateway;
    std::array<std::string, 6> mac; // "%02X" each
    std::string name;
    std::string port;
    std::string serial;
    bool dhcp = false;
    int modeIndex = -1;       // selected entry of the mode selector, -1 for none
    bool modeEnabled = false; // false for a module that reported no mode
};

inline constexpr int kEthModeCount = 5;

NetworkPanelValues panelFromRecord(const DeviceRecord& record);

// Stores the panel into the record before a set-values request: addresses, port, DHCP,
// name, and the mode only for a module that reported one and when an entry is chosen.
// Empty fields count as 0; CurrentIp stays as reported.
void storePanel(const NetworkPanelValues& panel, DeviceRecord& record);

} // namespace zek
