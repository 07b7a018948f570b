#include "gui/scan/network_settings_panel.h"

#include "core/scan/device_protocol.h"
#include "core/scan/device_table.h"
#include "gui/app/dialog_form.h"
#include "gui/app/text_codec.h"
#include "gui/scan/scan_endpoint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zek {

namespace {

constexpr std::array<int, 4> kIpEdits = {5053, 5052, 5051, 5050};
constexpr std::array<int, 4> kNetmaskEdits = {5049, 5048, 5047, 5046};
constexpr std::array<int, 4> kGatewayEdits = {5045, 5044, 5043, 5042};
constexpr std::array<int, 6> kMacEdits = {5041, 5040, 5039, 5038, 5037, 5036};
constexpr int kModeList = 5217;
constexpr int kDhcpBox = 5054;
constexpr int kNameEdit = 5034;
constexpr int kPortEdit = 5009;
constexpr int kSerialEdit = 5075;

} // namespace

NetworkSettingsPanel::NetworkSettingsPanel(DialogForm& form, DeviceTable& table, ScanEndpoint& endpoint)
    : m_form(form), m_table(table), m_endpoint(endpoint) {}

void NetworkSettingsPanel::fillFromRecord(const DeviceRecord& record) {
    const NetworkPanelValues panel = panelFromRecord(record);
    auto setTexts = [this](const auto& ids, const auto& texts) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            m_form.control<QLineEdit>(ids[i])->setText(QString::fromStdString(texts[i]));
    };
    setTexts(kMacEdits, panel.mac);
    setTexts(kIpEdits, panel.ip);
    setTexts(kGatewayEdits, panel.gateway);
    setTexts(kNetmaskEdits, panel.netmask);
    // The edit limits typing only, so a 32-character name from a module is shown whole.
    m_form.control<QLineEdit>(kNameEdit)->setText(fromModuleText(panel.name));
    m_form.control<QLineEdit>(kPortEdit)->setText(QString::fromStdString(panel.port));
    m_form.control<QCheckBox>(kDhcpBox)->setChecked(panel.dhcp);
    auto* mode = m_form.control<QComboBox>(kModeList);
    mode->setCurrentIndex(panel.modeIndex < mode->count() ? panel.modeIndex : -1);
    mode->setEnabled(panel.modeEnabled);
    m_form.control<QLineEdit>(kSerialEdit)->setText(QString::fromStdString(panel.serial));
}

void NetworkSettingsPanel::applyDhcpRule() {
    const bool dhcp = m_form.control<QCheckBox>(kDhcpBox)->isChecked();
    for (const auto* ids : {&kIpEdits, &kNetmaskEdits, &kGatewayEdits})
        for (const int id : *ids)
            m_form.control<QLineEdit>(id)->setReadOnly(dhcp);
}

NetworkPanelValues NetworkSettingsPanel::readPanel() const {
    NetworkPanelValues panel;
    auto read = [this](const auto& ids, auto& texts) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            texts[i] = m_form.control<QLineEdit>(ids[i])->text().toStdString();
    };
    read(kIpEdits, panel.ip);
    read(kNetmaskEdits, panel.netmask);
    read(kGatewayEdits, panel.gateway);
    panel.name = toModuleText(m_form.control<QLineEdit>(kNameEdit)->text());
    panel.port = m_form.control<QLineEdit>(kPortEdit)->text().toStdString();
    panel.dhcp = m_form.control<QCheckBox>(kDhcpBox)->isChecked();
    panel.modeIndex = m_form.control<QComboBox>(kModeList)->currentIndex();
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
