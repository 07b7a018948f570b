#pragma once

#include "core/session/session_engine.h"
#include "core/session/session_state.h"

#include <QByteArray>

#include <functional>

class QTimer;
class QWidget;

namespace zek {

class LedGauge;
class SessionPanels;

// The window's side of the session engine: drives it with timer B's ticks and the received
// lines, runs its value actions by pressing the window's buttons (a program press runs what a
// click runs), and hands what each reply changed in `ModuleState` to the panel that shows it.
class SequenceDriver : public EngineHost {
public:
    struct Wiring {
        QWidget& dialog;
        SessionPanels& panels;
        LedGauge& gauge;
        QTimer& timerB;
        int basePeriodMs; // the window's timer period, which scales the steps' periods
        std::function<SessionState()> sessionState;
        std::function<void(std::string_view)> sendText;
        std::function<void(int)> dispatchButton;
        std::function<void(const QString&)> log;
        std::function<void(const QString&)> showSoftware; // "Software:" text and the feature letters
        std::function<void(const ClockLine&)> showClockLine;
        std::function<void(DstRuleRow, const DstRule&)> showRule;
        // The set-clock action runs (its dialogs wait): the sequence does not step meanwhile.
        std::function<bool()> clockBusy;
        // The last set-clock action sent its command.
        std::function<bool()> timeSent;
    };

    explicit SequenceDriver(Wiring wiring) : m_w(std::move(wiring)), m_engine(*this, m_w.basePeriodMs) {}

    SessionEngine& engine() { return m_engine; }
    // One step, unless the set-clock action runs; then timer B starts again, so that the
    // next tick comes one full period later.
    void runStep(StepCause cause);
    // One reply line, in arrival order.
    void applyReply(const QByteArray& line);

    // EngineHost
    bool connected() const override;
    bool readAutomatically() const override;
    bool loggerToBeActive() const override;
    ActionResult perform(ValueAction action) override;
    void sendCommand(const SessionCommand& command) override { m_w.sendText(command.text); }
    void setPeriod(int milliseconds) override;
    void log(std::string_view line) override;
    void setGauge(int value, GaugeColour colour) override;
    void setGaugeValue(int value) override;
    void setBusyCursor(bool busy) override;

private:
    void showPart(ModulePart part);

    Wiring m_w;
    SessionEngine m_engine;
};

} // namespace zek
