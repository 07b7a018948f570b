#include "gui/session/sequence_driver.h"

#include "gui/app/led_gauge.h"
#include "gui/app/text_codec.h"
#include "gui/session/session_panels.h"

#include <QTimer>

namespace zek {

bool SequenceDriver::connected() const {
    return m_w.sessionState() == SessionState::Connected;
}

bool SequenceDriver::readAutomatically() const {
    return m_w.panels.readAutomatically();
}

bool SequenceDriver::loggerToBeActive() const {
    return m_w.panels.loggerActive();
}

ActionResult SequenceDriver::perform(ValueAction action) {
    m_w.dispatchButton(SessionPanels::buttonOf(action));
    return action != ValueAction::SetClock || m_w.timeSent() ? ActionResult::Sent : ActionResult::Withheld;
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

void SequenceDriver::applyReply(const QByteArray& bytes) {
    showPart(m_engine.onLine(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

// Each part goes to the panel that owns its controls.
void SequenceDriver::showPart(ModulePart part) {
    const ModuleState& state = m_engine.state();
    switch (part) {
    case ModulePart::Capabilities:
        m_w.showSoftware(fromModuleText(*state.capabilityWord()));
        m_w.panels.show(part, state);
        break;
    case ModulePart::DstStart:
    case ModulePart::DstStop: {
        const DstRuleRow row = part == ModulePart::DstStart ? DstRuleRow::Start : DstRuleRow::Stop;
        m_w.showRule(row, *state.dstRule(row));
        break;
    }
    case ModulePart::UtcClock:
        m_w.showClockLine(*state.utcClock());
        break;
    case ModulePart::LocalClock:
        m_w.showClockLine(*state.localClock());
        break;
    default:
        m_w.panels.show(part, state);
        break;
    }
}

} // namespace zek
