#include "gui/session/session_panels.h"

#include "gui/app/dialog_form.h"
#include "gui/app/text_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zek {

namespace {

constexpr int kLoggerActive = 5199;
constexpr int kLogInterval = 5103;
constexpr int kPcTime = 5160;
constexpr int kAutomaticDst = 5124;
constexpr int kSnmpLocation = 5200;
constexpr int kClockRead = 5089;
constexpr int kDeviceUtcTime = 5179;
constexpr int kDeviceLocalTime = 5182;
// Week number, weekday, month, hour of each daylight-saving rule row.
constexpr std::array<int, 4> kStartRule = {5133, 5127, 5130, 5131};
constexpr std::array<int, 4> kStopRule = {5134, 5128, 5129, 5132};

} // namespace

SessionPanels::SessionPanels(DialogForm& form, SessionFlags& flags,
                             std::function<SessionState()> sessionState, SendFn send)
    : m_form(form), m_flags(flags), m_sessionState(std::move(sessionState)), m_send(std::move(send)) {}

PanelConditions SessionPanels::conditions() const {
    PanelConditions c;
    c.connected = m_sessionState() == SessionState::Connected;
    c.loggerCapable = m_flags.LoggerCapable;
    c.trapCapable = m_flags.TrapCapable;
    c.loggerActive = m_flags.LoggerActive;
    c.pcTime = m_form.control<QCheckBox>(kPcTime)->isChecked();
    c.automaticDst = m_form.control<QCheckBox>(kAutomaticDst)->isChecked();
    return c;
}

void SessionPanels::apply(const EnableTable& table) {
    for (const EnableEntry& entry : table)
        if (QWidget* widget = m_form.widget(entry.id))
            widget->setEnabled(entry.enabled);
}

void SessionPanels::applySessionButtons() {
    apply(sessionButtonEnabling(conditions()));
}

void SessionPanels::applyClockPanel() {
    m_flags.LoggerActive = m_form.control<QCheckBox>(kLoggerActive)->isChecked();
    apply(clockPanelEnabling(conditions()));
}

void SessionPanels::applySnmpPanel() {
    for (int row = 1; row <= kTrapRows; ++row)
        applyTrapRow(row);
    apply(snmpPanelEnabling(conditions()));
}

void SessionPanels::applyTrapRow(int row) {
    const TrapRowControls* controls = trapRowControls(row);
    if (!controls)
        return;
    auto* box = m_form.control<QCheckBox>(controls->checkBox);
    const TrapRowEnabling enabling = trapRowEnabling(conditions(), box->isChecked());
    box->setEnabled(enabling.boxEnabled);
    for (const int id : controls->edits) {
        auto* edit = m_form.control<QLineEdit>(id);
        edit->setEnabled(enabling.editsEnabled);
        if (enabling.zeroEdits)
            edit->setText(QStringLiteral("0"));
    }
}

void SessionPanels::applyAll() {
    applySessionButtons();
    applyClockPanel();
    applySnmpPanel();
}

void SessionPanels::send(const SessionCommand& command) {
    m_flags.setSeen(command.answeredBy, false);
    m_send(command.text);
}

void SessionPanels::read(int buttonId) {
    const ReadButton* button = findReadButton(buttonId);
    if (!button)
        return;
    if (buttonId == kClockRead)
        for (const int id : {kDeviceUtcTime, kDeviceLocalTime})
            m_form.control<QLineEdit>(id)->setText(QStringLiteral("?"));
    send(readCommand(*button));
}

void SessionPanels::setLogger() {
    send(loggerCommand(m_form.control<QCheckBox>(kLoggerActive)->isChecked(),
                       m_form.control<QComboBox>(kLogInterval)->currentIndex()));
}

void SessionPanels::setDstUse() {
    send(dstUseCommand(m_form.control<QCheckBox>(kAutomaticDst)->isChecked()));
}

void SessionPanels::setDstRule(DstRuleRow row) {
    const std::array<int, 4>& ids = row == DstRuleRow::Start ? kStartRule : kStopRule;
    auto index = [this](int id) { return m_form.control<QComboBox>(id)->currentIndex(); };
    send(dstRuleCommand(row, {index(ids[0]), index(ids[1]), index(ids[2]), index(ids[3])}));
}

void SessionPanels::setTrap(int row) {
    const TrapRowControls* controls = trapRowControls(row);
    if (!controls)
        return;
    std::array<std::string, 4> fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = toModuleText(m_form.control<QLineEdit>(controls->edits[i])->text());
    send(trapCommand(row, fields));
}

void SessionPanels::setSnmpLocation() {
    send(snmpLocationCommand(toModuleText(m_form.control<QLineEdit>(kSnmpLocation)->text())));
}

void SessionPanels::addButtonActions(QHash<int, std::function<void()>>& table) {
    for (const ReadButton& button : readButtons())
        table.insert(button.id, [this, id = button.id] { read(id); });
    table.insert(5106, [this] { setLogger(); });
    table.insert(5135, [this] { setDstUse(); });
    table.insert(5137, [this] { setDstRule(DstRuleRow::Start); });
    table.insert(5136, [this] { setDstRule(DstRuleRow::Stop); });
    table.insert(5201, [this] { setSnmpLocation(); });
    for (int row = 1; row <= kTrapRows; ++row) {
        const TrapRowControls* controls = trapRowControls(row);
        table.insert(controls->setButton, [this, row] { setTrap(row); });
        table.insert(controls->checkBox, [this, row] { applyTrapRow(row); });
    }
    table.insert(kLoggerActive, [this] { applyClockPanel(); });
}

} // namespace zek
