#pragma once

#include "core/session/read_sequence.h"
#include "core/session/reply_parser.h"
#include "core/session/session_flags.h"
#include "core/session/session_state.h"

#include <QByteArray>

#include <functional>

class QTimer;
class QWidget;

namespace zek {

class DialogForm;
class LedGauge;
class SessionPanels;

// Drives the read/write step machine from the window and applies each reply line the
// module sends to the controls, the session flags and the running sequence.
class SequenceDriver : public SequenceHost {
public:
    struct Wiring {
        QWidget& dialog;
        DialogForm& form;
        SessionFlags& flags;
        SessionPanels& panels;
        LedGauge& gauge;
        QTimer& timerB;
        int basePeriodMs; // the window's timer period, which scales the steps' periods
        std::function<SessionState()> sessionState;
        std::function<void(std::string_view)> sendText;
        std::function<void(int)> dispatchButton;
        std::function<void(const QString&)> log;
        std::function<void(const QString&)> showSoftware; // "Software:" text and the feature letters
        std::function<void(ReplyKind, std::string_view)> showClockReply; // the clock lines, whole
        // "!DST_START" and "!DST_STOP" with their four numbers.
        std::function<void(ReplyKind, const std::array<int, 4>&)> showRuleReply;
    };

    explicit SequenceDriver(Wiring wiring) : m_w(std::move(wiring)), m_sequence(*this, m_w.basePeriodMs) {}

    ReadSequence& sequence() { return m_sequence; }
    // One step, unless the set-clock action runs; then timer B starts again, so that the
    // next tick comes one full period later.
    void runStep(StepCause cause);
    // One reply line, in arrival order.
    void applyReply(const QByteArray& line);

    // SequenceHost
    bool connected() const override;
    bool readAutomatically() const override;
    bool modulConfigSeen() const override { return m_w.flags.ModulConfigSeen; }
    void clearModulConfigSeen() override { m_w.flags.ModulConfigSeen = false; }
    bool loggerCapable() const override { return m_w.flags.LoggerCapable; }
    bool trapCapable() const override { return m_w.flags.TrapCapable; }
    bool loggerActive() const override { return m_w.flags.LoggerActive; }
    bool timeSent() const override { return m_w.flags.TimeSent; }
    bool replySeen(ReplyKey key) const override { return m_w.flags.seen(key); }
    void clearReplySeen(ReplyKey key) override { m_w.flags.setSeen(key, false); }
    void markReplySeen(ReplyKey key) override { m_w.flags.setSeen(key); }
    void sendText(std::string_view text) override { m_w.sendText(text); }
    void pressButton(int id) override { m_w.dispatchButton(id); }
    void setPeriod(int milliseconds) override;
    void log(std::string_view line) override;
    void setGauge(int value, GaugeColour colour) override;
    void setGaugeValue(int value) override;
    void setBusyCursor(bool busy) override;

private:
    void applyTrapRow(const ParsedReply& reply);
    void select(int listId, int index);

    Wiring m_w;
    ReadSequence m_sequence;
};

} // namespace zek
