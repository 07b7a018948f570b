#pragma once

#include "core/scan/network_settings.h"
#include "gui/app/panel_view.h"

namespace zek {

class DeviceTable;
class ScanEndpoint;
struct DeviceRecord;

// The network settings of the selected module: shown, edited, written with Set
// (followed by a reboot three timer ticks later) and rebooted with Reboot.
class NetworkSettingsPanel {
public:
    static constexpr int kRebootTicks = 3;

    NetworkSettingsPanel(PanelView view, DeviceTable& table, ScanEndpoint& endpoint);

    // The fixed states of the panel's controls, once at set-up.
    void setupControls();
    void fillFromRecord(const DeviceRecord& record);
    void applyDhcpRule();
    void set();
    void reboot();
    // One tick of the main timer; true when the countdown has just run out.
    bool countdownTick();
    int rebootCountdown() const { return m_rebootCountdown; }

private:
    NetworkPanelValues readPanel() const;

    PanelView m_view;
    DeviceTable& m_table;
    ScanEndpoint& m_endpoint;
    int m_rebootCountdown = 0;
};

} // namespace zek
