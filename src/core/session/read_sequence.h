#pragma once

#include "core/session/reply_table.h"

#include <string_view>

namespace zek {

struct ParsedReply;
struct StepRow;

// What the read/write step machine needs from the window: the session's condition, the
// flags the reply parser sets, and the actions it runs.
class SequenceHost {
public:
    virtual ~SequenceHost() = default;

    virtual bool connected() const = 0;
    virtual bool readAutomatically() const = 0; // "Read settings automatically"
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

    enum class GaugeColour { Yellow, Green };
    virtual void setGauge(int value, GaugeColour colour) = 0;
    virtual void setGaugeValue(int value) = 0;
    virtual void setBusyCursor(bool busy) = 0;
};

// Why a step runs: a tick of timer B, or a read that completed at least one reply line.
enum class StepCause { Tick, Line };

// The step machine that reads a module's identity and settings and writes groups of
// settings. A step that waits for a reply goes on once the reply is seen; on a tick
// without it, it steps back so that the previous step sends its command again.
class ReadSequence {
public:
    static constexpr int kIdle = 0;
    static constexpr int kConnectStep = 3;
    static constexpr int kModulConfigStep = 8;
    static constexpr int kReadLogger = 14;
    static constexpr int kSetLogger = 30;
    static constexpr int kReadSnmp = 20;
    static constexpr int kSetSnmp = 40;
    static constexpr int kFastPeriodMs = 500;
    static constexpr int kSlowPeriodMs = 750;

    // The periods the steps set are scaled by `basePeriodMs`, the window's timer period
    // (500 ms in the product).
    explicit ReadSequence(SequenceHost& host, int basePeriodMs = kFastPeriodMs)
        : m_host(host), m_basePeriodMs(basePeriodMs) {}

    int step() const { return m_step; }
    // From outside: connect (3) and the group buttons.
    void setStep(int step) { m_step = step; }

    // What a reply line does to the running sequence: "modul_config" restarts the identity
    // queries; "!ERROR" 20, 4 and 3 skip the value the sequence waits for.
    void onReply(const ParsedReply& reply);

    // A line that is not the awaited reply leaves a waiting step alone, without a trace;
    // asking again is left to the ticks.
    void RunSequenceStep(StepCause cause);

    // The gauge value shown for a step.
    static int gaugeValue(int step, bool readAutomatically, bool modulConfigSeen);

private:
    void showStep();
    void act(const StepRow& row);
    bool admits(const StepRow& row) const;
    int nextStep(const StepRow& row);

    SequenceHost& m_host;
    int m_basePeriodMs;
    int m_step = kIdle;
    int m_lastLoggedStep = kIdle;
};

} // namespace zek
