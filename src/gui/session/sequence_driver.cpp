#include "gui/session/sequence_driver.h"

#include "core/app/control_ids.h"
#include "gui/app/dialog_form.h"
#include "gui/app/led_gauge.h"
#include "gui/app/text_codec.h"
#include "gui/session/session_panels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <utility>

namespace zek {

namespace {

// The field that shows each text of the module.
constexpr std::pair<ModulePart, int> kTextFields[] = {
    {ModulePart::ModuleInfo, ctl::ModuleInfo},     {ModulePart::DeviceType, ctl::ModuleTyp},
    {ModulePart::Revision, ctl::ModuleRevision},   {ModulePart::Company, ctl::ModuleFirma},
    {ModulePart::SnmpLocation, ctl::SnmpLocation},
};

} // namespace

bool SequenceDriver::connected() const {
    return m_w.sessionState() == SessionState::Connected;
}

bool SequenceDriver::readAutomatically() const {
    return m_w.form.control<QCheckBox>(ctl::AutoRead)->isChecked();
}

bool SequenceDriver::loggerToBeActive() const {
    return m_w.panels.loggerActive();
}

bool SequenceDriver::perform(ValueAction action) {
    m_w.dispatchButton(SessionPanels::buttonOf(action));
    return action != ValueAction::SetClock || m_w.timeSent();
}

void SequenceDriver::setPeriod(int milliseconds) {
    m_w.timerB.setInterval(milliseconds);
}

void SequenceDriver::log(std::string_view line) {
    m_w.log(QString::fromLatin1(line.data(), qsizetype(line.size())));
}

void SequenceDriver::setGauge(int value, GaugeColour colour) {
    m_w.gauge.setValue(value);
    m_w.gauge.setBarColor(colour == GaugeColour::Green ? QColor(0, 255, 0) : QColor(255, 255, 0));
    m_w.gauge.repaint();
}

void SequenceDriver::setGaugeValue(int value) {
    m_w.gauge.setValue(value);
}

void SequenceDriver::setBusyCursor(bool busy) {
    if (busy)
        m_w.dialog.window()->setCursor(Qt::WaitCursor);
    else
        m_w.dialog.window()->unsetCursor();
}

void SequenceDriver::runStep(StepCause cause) {
    if (!m_w.clockBusy())
        m_engine.RunSequenceStep(cause);
    m_w.timerB.start();
}

// An index outside the list leaves it without a selection.
void SequenceDriver::select(int listId, int index) {
    auto* list = m_w.form.control<QComboBox>(listId);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void SequenceDriver::applyReply(const QByteArray& bytes) {
    showPart(m_engine.onLine(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

void SequenceDriver::showPart(ModulePart part) {
    const ModuleState& state = m_engine.state();
    for (const auto& [textPart, field] : kTextFields)
        if (textPart == part)
            m_w.form.control<QLineEdit>(field)->setText(fromModuleText(*state.text(part)));

    switch (part) {
    case ModulePart::Capabilities:
        m_w.showSoftware(fromModuleText(*state.capabilityWord()));
        m_w.panels.applySnmpPanel();
        m_w.panels.applyClockPanel();
        m_w.panels.applySessionButtons();
        break;
    case ModulePart::Logger:
        m_w.form.control<QCheckBox>(ctl::LoggerActive)->setChecked(*state.loggerActive());
        m_w.dispatchButton(ctl::LoggerActive);
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
            m_w.form.control<QLineEdit>(controls.edits[i])->setText(QString::number(numbers[i]));
        m_w.form.control<QCheckBox>(controls.checkBox)->setChecked(trapReceiverSet(numbers));
        m_w.panels.applyTrapRow(row);
        break;
    }
    case ModulePart::DstUse:
        m_w.form.control<QCheckBox>(ctl::AutomaticDst)->setChecked(*state.dstUse());
        m_w.panels.applyClockPanel();
        break;
    case ModulePart::DstStart:
        m_w.showRule(DstRuleRow::Start, *state.dstRule(DstRuleRow::Start));
        break;
    case ModulePart::DstStop:
        m_w.showRule(DstRuleRow::Stop, *state.dstRule(DstRuleRow::Stop));
        break;
    case ModulePart::UtcClock:
        m_w.showClockLine(*state.utcClock());
        break;
    case ModulePart::LocalClock:
        m_w.showClockLine(*state.localClock());
        break;
    default:
        break;
    }
}

} // namespace zek
