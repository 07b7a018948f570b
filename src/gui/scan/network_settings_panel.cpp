#include "gui/scan/network_settings_panel.h"

#include "core/app/control_ids.h"
#include "core/scan/device_protocol.h"
#include "core/scan/device_table.h"
#include "gui/app/dialog_form.h"
#include "gui/app/text_codec.h"
#include "gui/scan/scan_endpoint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zek {

NetworkSettingsPanel::NetworkSettingsPanel(DialogForm& form, DeviceTable& table, ScanEndpoint& endpoint)
    : m_form(form), m_table(table), m_endpoint(endpoint) {}

void NetworkSettingsPanel::fillFromRecord(const DeviceRecord& record) {
    const NetworkPanelValues panel = panelFromRecord(record);
    auto setTexts = [this](const auto& ids, const auto& texts) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            m_form.control<QLineEdit>(ids[i])->setText(QString::fromStdString(texts[i]));
    };
    setTexts(ctl::kMacEdits, panel.mac);
    setTexts(ctl::kIpEdits, panel.ip);
    setTexts(ctl::kGatewayEdits, panel.gateway);
    setTexts(ctl::kNetmaskEdits, panel.netmask);
    // The edit limits typing only, so a 32-character name from a module is kept whole; its
    // start is what a technician recognises, so the edit shows that.
    auto* name = m_form.control<QLineEdit>(ctl::NameEdit);
    name->setText(fromModuleText(panel.name));
    name->setCursorPosition(0);
    m_form.control<QLineEdit>(ctl::PortEdit)->setText(QString::fromStdString(panel.port));
    m_form.control<QCheckBox>(ctl::UseDhcp)->setChecked(panel.dhcp);
    auto* mode = m_form.control<QComboBox>(ctl::EthModeList);
    mode->setCurrentIndex(panel.modeIndex < mode->count() ? panel.modeIndex : -1);
    mode->setEnabled(panel.modeEnabled);
    m_form.control<QLineEdit>(ctl::SerialEdit)->setText(QString::fromStdString(panel.serial));
}

void NetworkSettingsPanel::applyDhcpRule() {
    const bool dhcp = m_form.control<QCheckBox>(ctl::UseDhcp)->isChecked();
    for (const auto* ids : {&ctl::kIpEdits, &ctl::kNetmaskEdits, &ctl::kGatewayEdits})
        for (const int id : *ids)
            m_form.control<QLineEdit>(id)->setReadOnly(dhcp);
}

NetworkPanelValues NetworkSettingsPanel::readPanel() const {
    NetworkPanelValues panel;
    auto read = [this](const auto& ids, auto& texts) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            texts[i] = m_form.control<QLineEdit>(ids[i])->text().toStdString();
    };
    read(ctl::kIpEdits, panel.ip);
    read(ctl::kNetmaskEdits, panel.netmask);
    read(ctl::kGatewayEdits, panel.gateway);
    panel.name = toModuleText(m_form.control<QLineEdit>(ctl::NameEdit)->text());
    panel.port = m_form.control<QLineEdit>(ctl::PortEdit)->text().toStdString();
    panel.dhcp = m_form.control<QCheckBox>(ctl::UseDhcp)->isChecked();
    panel.modeIndex = m_form.control<QComboBox>(ctl::EthModeList)->currentIndex();
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
