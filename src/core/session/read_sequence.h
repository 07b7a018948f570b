#pragma once

#include "core/session/session_engine.h"

#include <string_view>

namespace zek {

// What zekctl's read sequences need from it: its flags and the Read buttons it presses.
// A bridge to `SessionEngine` until zekctl runs the engine itself.
class SequenceHost {
public:
    virtual ~SequenceHost() = default;

    virtual bool connected() const = 0;
    virtual bool readAutomatically() const = 0;
    virtual bool modulConfigSeen() const = 0;
    virtual void clearModulConfigSeen() = 0;
    virtual bool loggerCapable() const = 0;
    virtual bool trapCapable() const = 0;
    virtual bool loggerActive() const = 0;
    virtual bool timeSent() const = 0;
    virtual bool replySeen(ReplyKey key) const = 0;
    virtual void clearReplySeen(ReplyKey key) = 0;
    virtual void markReplySeen(ReplyKey key) = 0;

    virtual void sendText(std::string_view text) = 0;
    virtual void pressButton(int id) = 0;
    virtual void setPeriod(int milliseconds) = 0;
    virtual void log(std::string_view line) = 0;

    using GaugeColour = EngineHost::GaugeColour;
    virtual void setGauge(int value, GaugeColour colour) = 0;
    virtual void setGaugeValue(int value) = 0;
    virtual void setBusyCursor(bool busy) = 0;
};

// The engine's step machine behind the button-pressing host interface.
class ReadSequence : private EngineHost {
public:
    static constexpr int kIdle = SessionEngine::kIdle;
    static constexpr int kConnectStep = int(GroupAction::Connect);
    static constexpr int kReadLogger = int(GroupAction::ReadLogger);
    static constexpr int kReadSnmp = int(GroupAction::ReadSnmp);

    explicit ReadSequence(SequenceHost& host, int basePeriodMs = SessionEngine::kFastPeriodMs)
        : m_host(host), m_engine(*this, basePeriodMs) {}

    int step() const { return m_engine.step(); }
    void setStep(int step) { m_engine.setStep(step); }
    void onReply(const ParsedReply& reply) { m_engine.onReply(reply); }
    void RunSequenceStep(StepCause cause) { m_engine.RunSequenceStep(cause); }

private:
    bool connected() const override { return m_host.connected(); }
    bool readAutomatically() const override { return m_host.readAutomatically(); }
    bool loggerToBeActive() const override { return m_host.loggerActive(); }
    bool perform(ValueAction action) override;
    void sendText(std::string_view text) override { m_host.sendText(text); }
    void setPeriod(int milliseconds) override { m_host.setPeriod(milliseconds); }
    void log(std::string_view line) override { m_host.log(line); }
    void setGauge(int value, GaugeColour colour) override { m_host.setGauge(value, colour); }
    void setGaugeValue(int value) override { m_host.setGaugeValue(value); }
    void setBusyCursor(bool busy) override { m_host.setBusyCursor(busy); }

    SequenceHost& m_host;
    SessionEngine m_engine;
};

} // namespace zek
