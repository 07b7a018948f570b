#include "gui/scan/network_settings_panel.h"

#include "core/app/control_ids.h"
#include "core/scan/device_protocol.h"
#include "core/scan/device_table.h"
#include "gui/app/text_codec.h"
#include "gui/scan/scan_endpoint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zek {

NetworkSettingsPanel::NetworkSettingsPanel(PanelView view, DeviceTable& table, ScanEndpoint& endpoint)
    : m_view(std::move(view)), m_table(table), m_endpoint(endpoint) {}

void NetworkSettingsPanel::setupControls() {
    m_view.control<QLineEdit>(ctl::SerialEdit)->setReadOnly(true);
}

void NetworkSettingsPanel::fillFromRecord(const DeviceRecord& record) {
    const NetworkPanelValues panel = panelFromRecord(record);
    auto setTexts = [this](const auto& ids, const auto& texts) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            m_view.control<QLineEdit>(ids[i])->setText(QString::fromStdString(texts[i]));
    };
    setTexts(ctl::kMacEdits, panel.mac);
    setTexts(ctl::kIpEdits, panel.ip);
    setTexts(ctl::kGatewayEdits, panel.gateway);
    setTexts(ctl::kNetmaskEdits, panel.netmask);
    // The edit limits typing only, so a 32-character name from a module is kept whole; its
    // start is what a technician recognises, so the edit shows that.
    auto* name = m_view.control<QLineEdit>(ctl::NameEdit);
    name->setText(fromModuleText(panel.name));
    name->setCursorPosition(0);
    m_view.control<QLineEdit>(ctl::PortEdit)->setText(QString::fromStdString(panel.port));
    m_view.control<QCheckBox>(ctl::UseDhcp)->setChecked(panel.dhcp);
    auto* mode = m_view.control<QComboBox>(ctl::EthModeList);
    mode->setCurrentIndex(panel.modeIndex < mode->count() ? panel.modeIndex : -1);
    mode->setEnabled(panel.modeEnabled);
    m_view.control<QLineEdit>(ctl::SerialEdit)->setText(QString::fromStdString(panel.serial));
}

void NetworkSettingsPanel::applyDhcpRule() {
    const bool dhcp = m_view.control<QCheckBox>(ctl::UseDhcp)->isChecked();
    for (const auto* ids : {&ctl::kIpEdits, &ctl::kNetmaskEdits, &ctl::kGatewayEdits})
        for (const int id : *ids)
            m_view.control<QLineEdit>(id)->setReadOnly(dhcp);
}

NetworkPanelValues NetworkSettingsPanel::readPanel() const {
    NetworkPanelValues panel;
    auto read = [this](const auto& ids, auto& texts) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            texts[i] = m_view.control<QLineEdit>(ids[i])->text().toStdString();
    };
    read(ctl::kIpEdits, panel.ip);
    read(ctl::kNetmaskEdits, panel.netmask);
    read(ctl::kGatewayEdits, panel.gateway);
    panel.name = toModuleText(m_view.control<QLineEdit>(ctl::NameEdit)->text());
    panel.port = m_view.control<QLineEdit>(ctl::PortEdit)->text().toStdString();
    panel.dhcp = m_view.control<QCheckBox>(ctl::UseDhcp)->isChecked();
    panel.modeIndex = m_view.control<QComboBox>(ctl::EthModeList)->currentIndex();
    return panel;
}

void NetworkSettingsPanel::set() {
    if (DeviceRecord* record = m_table.selected()) {
        storePanel(readPanel(), *record);
        const auto bytes = encodeSetValues(*record);
        m_endpoint.send(bytes);
    }
    m_rebootCountdown = kRebootTicks;
}

void NetworkSettingsPanel::reboot() {
    if (const DeviceRecord* record = m_table.selected())
        m_endpoint.send(encodeReboot(record->Mac));
}

bool NetworkSettingsPanel::countdownTick() {
    if (m_rebootCountdown <= 0)
        return false;
    return --m_rebootCountdown == 0;
}

} // namespace zek
