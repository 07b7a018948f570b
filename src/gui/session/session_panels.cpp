#include "gui/session/session_panels.h"

#include "core/app/control_ids.h"

#include "gui/app/panel_view.h"
#include "gui/app/text_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zek {

namespace {

// In the order of ValueAction.
constexpr int kActionButtons[] = {
    ctl::LoggerRead,
    ctl::ClockRead,
    ctl::DstUseRead,
    ctl::kDstStartRow.readButton,
    ctl::kDstStopRow.readButton,
    ctl::kTrapRows[0].readButton,
    ctl::kTrapRows[1].readButton,
    ctl::kTrapRows[2].readButton,
    ctl::SnmpLocationRead,
    ctl::LoggerSet,
    ctl::DstUseSet,
    ctl::kDstStartRow.setButton,
    ctl::kDstStopRow.setButton,
    ctl::ClockSet,
    ctl::kTrapRows[0].setButton,
    ctl::kTrapRows[1].setButton,
    ctl::kTrapRows[2].setButton,
    ctl::SnmpLocationSet,
};
static_assert(std::size(kActionButtons) == std::size_t(ValueAction::SetSnmpLocation) + 1);

// The field that shows each text of the module.
constexpr std::pair<ModulePart, int> kTextFields[] = {
    {ModulePart::ModuleInfo, ctl::ModuleInfo},     {ModulePart::DeviceType, ctl::ModuleTyp},
    {ModulePart::Revision, ctl::ModuleRevision},   {ModulePart::Company, ctl::ModuleFirma},
    {ModulePart::SnmpLocation, ctl::SnmpLocation},
};

} // namespace

int SessionPanels::buttonOf(ValueAction action) {
    return kActionButtons[std::size_t(action)];
}

SessionPanels::SessionPanels(PanelView view, StateFn module, std::function<SessionState()> sessionState,
                             SendFn send)
    : m_view(std::move(view)), m_module(std::move(module)), m_sessionState(std::move(sessionState)),
      m_send(std::move(send)) {}

void SessionPanels::setupControls() {
    auto* logTimes = m_view.control<QComboBox>(ctl::LogTimeList);
    for (int minute = 1; minute <= 60; ++minute)
        logTimes->addItem(QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0')));
    logTimes->setCurrentIndex(0);

    for (const int id : ctl::kModuleInfoEdits)
        m_view.control<QLineEdit>(id)->setReadOnly(true);
    m_view.control<QCheckBox>(ctl::AutoRead)->setChecked(true);
}

void SessionPanels::showUnknownIdentity() {
    for (const int id : ctl::kModuleInfoEdits)
        m_view.control<QLineEdit>(id)->setText(QStringLiteral("?"));
}

PanelConditions SessionPanels::conditions() const {
    PanelConditions c;
    c.connected = m_sessionState() == SessionState::Connected;
    c.loggerCapable = m_module().loggerCapable();
    c.trapCapable = m_module().trapCapable();
    c.loggerActive = m_loggerActive;
    c.pcTime = m_view.look<QCheckBox>(ctl::UsePcTime)->isChecked();
    c.automaticDst = m_view.look<QCheckBox>(ctl::AutomaticDst)->isChecked();
    return c;
}

void SessionPanels::apply(const EnableTable& table) {
    for (const EnableEntry& entry : table)
        m_view.setEnabled(entry.id, entry.enabled);
}

void SessionPanels::applySessionButtons() {
    apply(sessionButtonEnabling(conditions()));
}

void SessionPanels::applyClockPanel() {
    m_loggerActive = m_view.control<QCheckBox>(ctl::LoggerActive)->isChecked();
    apply(clockPanelEnabling(conditions()));
}

void SessionPanels::applySnmpPanel() {
    for (int row = 1; row <= kTrapRowCount; ++row)
        applyTrapRow(row);
    apply(snmpPanelEnabling(conditions()));
}

void SessionPanels::applyTrapRow(int row) {
    if (row < 1 || row > kTrapRowCount)
        return;
    const ctl::TrapRow& controls = ctl::kTrapRows[std::size_t(row - 1)];
    auto* box = m_view.control<QCheckBox>(controls.checkBox);
    const TrapRowEnabling enabling = trapRowEnabling(conditions(), box->isChecked());
    box->setEnabled(enabling.boxEnabled);
    for (const int id : controls.edits) {
        auto* edit = m_view.control<QLineEdit>(id);
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

void SessionPanels::read(ValueAction action) {
    if (const auto query = readQuery(action))
        m_send(*query);
}

void SessionPanels::setLogger() {
    m_send(loggerCommand(m_view.control<QCheckBox>(ctl::LoggerActive)->isChecked(),
                         m_view.control<QComboBox>(ctl::LogTimeList)->currentIndex()));
}

void SessionPanels::setDstUse() {
    m_send(dstUseCommand(m_view.control<QCheckBox>(ctl::AutomaticDst)->isChecked()));
}

void SessionPanels::setDstRule(DstRuleRow row) {
    const ctl::DstRuleControls& controls = ctl::kDstRuleRows[row == DstRuleRow::Start ? 0 : 1];
    DstRuleIndexes indexes{};
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = m_view.look<QComboBox>(controls.lists()[i])->currentIndex();
    m_send(dstRuleCommand(row, indexes));
}

void SessionPanels::setTrap(int row) {
    if (row < 1 || row > kTrapRowCount)
        return;
    const ctl::TrapRow& controls = ctl::kTrapRows[std::size_t(row - 1)];
    std::array<std::string, 4> fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = toModuleText(m_view.control<QLineEdit>(controls.edits[i])->text());
    m_send(trapCommand(row, fields));
}

void SessionPanels::setSnmpLocation() {
    m_send(snmpLocationCommand(toModuleText(m_view.control<QLineEdit>(ctl::SnmpLocation)->text())));
}

void SessionPanels::addButtonActions(QHash<int, std::function<void()>>& table) {
    // The clock panel owns the clock's Read.
    for (int a = 0; a <= int(ValueAction::ReadSnmpLocation); ++a)
        if (ValueAction(a) != ValueAction::ReadClock)
            table.insert(buttonOf(ValueAction(a)), [this, a] { read(ValueAction(a)); });
    table.insert(ctl::LoggerSet, [this] { setLogger(); });
    table.insert(ctl::DstUseSet, [this] { setDstUse(); });
    table.insert(ctl::kDstStartRow.setButton, [this] { setDstRule(DstRuleRow::Start); });
    table.insert(ctl::kDstStopRow.setButton, [this] { setDstRule(DstRuleRow::Stop); });
    table.insert(ctl::SnmpLocationSet, [this] { setSnmpLocation(); });
    for (int row = 1; row <= kTrapRowCount; ++row) {
        const ctl::TrapRow& controls = ctl::kTrapRows[std::size_t(row - 1)];
        table.insert(controls.setButton, [this, row] { setTrap(row); });
        table.insert(controls.checkBox, [this, row] { applyTrapRow(row); });
    }
    table.insert(ctl::LoggerActive, [this] { applyClockPanel(); });
}

bool SessionPanels::readAutomatically() const {
    return m_view.control<QCheckBox>(ctl::AutoRead)->isChecked();
}

// An index outside the list leaves it without a selection.
void SessionPanels::select(int listId, int index) {
    auto* list = m_view.control<QComboBox>(listId);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void SessionPanels::show(ModulePart part, const ModuleState& state) {
    for (const auto& [textPart, field] : kTextFields)
        if (textPart == part)
            m_view.control<QLineEdit>(field)->setText(fromModuleText(*state.text(part)));
    switch (part) {
    case ModulePart::Capabilities:
        applySnmpPanel();
        applyClockPanel();
        applySessionButtons();
        break;
    case ModulePart::Logger:
        m_view.control<QCheckBox>(ctl::LoggerActive)->setChecked(*state.loggerActive());
        applyClockPanel(); // what a click on "active" does
        if (const auto interval = state.loggerInterval())
            select(ctl::LogTimeList, *interval);
        break;
    case ModulePart::Trap1:
    case ModulePart::Trap2:
    case ModulePart::Trap3: {
        const int row = int(part) - int(ModulePart::Trap1) + 1;
        const ctl::TrapRow& controls = ctl::kTrapRows[std::size_t(row - 1)];
        const std::array<int, 4>& numbers = *state.trap(row);
        for (std::size_t i = 0; i < controls.edits.size(); ++i)
            m_view.control<QLineEdit>(controls.edits[i])->setText(QString::number(numbers[i]));
        m_view.control<QCheckBox>(controls.checkBox)->setChecked(trapReceiverSet(numbers));
        applyTrapRow(row);
        break;
    }
    case ModulePart::DstUse:
        m_view.control<QCheckBox>(ctl::AutomaticDst)->setChecked(*state.dstUse());
        applyClockPanel();
        break;
    default:
        break;
    }
}

} // namespace zek
