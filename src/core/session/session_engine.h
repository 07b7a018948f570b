#pragma once

#include "core/session/command_texts.h"
#include "core/session/module_state.h"

#include <optional>
#include <string_view>

namespace zek {

struct StepRow;

// One value's Read or Set, as the read and write sequences run them. A face maps them to
// its own controls; the engine never names one.
enum class ValueAction {
    ReadLogger,
    ReadClock,
    ReadDstUse,
    ReadDstStart,
    ReadDstStop,
    ReadTrap1,
    ReadTrap2,
    ReadTrap3,
    ReadSnmpLocation,
    SetLogger,
    SetDstUse,
    SetDstStart,
    SetDstStop,
    SetClock,
    SetTrap1,
    SetTrap2,
    SetTrap3,
    SetSnmpLocation,
};

// The query of a Read action; the clock's asks for UTC and waits for the local line.
std::optional<SessionCommand> readQuery(ValueAction action);
// The reply that answers an action.
ReplyKey answeredBy(ValueAction action);

// The sequences a session runs: the automatic read after connecting and the four groups.
enum class GroupAction {
    Connect = 3,
    ReadLogger = 14,
    ReadSnmp = 20,
    SetLogger = 30,
    SetSnmp = 40,
};

// What running a value action did.
enum class ActionResult {
    Sent,     // its command went out: the next step waits for the reply
    Withheld, // a Set refused its value (the clock in the skipped hour): nothing to wait for
    Skipped,  // the face has nothing to write for this value: the sequence goes on at once
};

// Why a step runs: a tick, or a read that completed at least one reply line.
enum class StepCause { Tick, Line };

// What the engine needs from a face: the session's condition, the value actions and the
// way it shows progress. A face without a display leaves the progress calls empty.
class EngineHost {
public:
    virtual ~EngineHost() = default;

    virtual bool connected() const = 0;
    virtual bool readAutomatically() const = 0; // the connect read goes on to the groups
    // The logger's group Set goes on to the daylight-saving rules and the clock only for a
    // logger that is to be active. This is where the faces write differently: the window
    // follows its group sequence (true only while "active" is ticked), zekctl writes exactly
    // the values a user names (always true) and skips the others in perform().
    virtual bool loggerToBeActive() const = 0;
    // Runs one action as its control would.
    virtual ActionResult perform(ValueAction action) = 0;
    // The engine has marked the command's reply as awaited.
    virtual void sendCommand(const SessionCommand& command) = 0;
    virtual void setPeriod(int milliseconds) = 0;
    virtual void log(std::string_view line) = 0;

    enum class GaugeColour { Yellow, Green };
    virtual void setGauge(int value, GaugeColour colour) = 0;
    virtual void setGaugeValue(int value) = 0;
    virtual void setBusyCursor(bool busy) = 0;
};

// The module session without its transport: applies each received line to `ModuleState`
// and runs the read and write sequences, driven by ticks and lines. A step that waits for a
// reply goes on once the reply is seen; on a tick without it, it steps back so that the
// previous step asks again. The face chooses the tick period (the steps scale theirs by
// it), so a console drives the same machine as fast as it likes.
class SessionEngine {
public:
    static constexpr int kIdle = 0;
    static constexpr int kModulConfigStep = 8;
    static constexpr int kFastPeriodMs = 500;
    static constexpr int kSlowPeriodMs = 750;

    explicit SessionEngine(EngineHost& host, int basePeriodMs = kFastPeriodMs)
        : m_host(host), m_basePeriodMs(basePeriodMs) {}

    const ModuleState& state() const { return m_state; }
    int step() const { return m_step; }
    bool idle() const { return m_step == kIdle; }
    // Starts a sequence; its first step runs on the next tick.
    void start(GroupAction group) { m_step = int(group); }
    void setStep(int step) { m_step = step; }

    // A new connection: the module's letters are forgotten.
    void newSession() { m_state.newSession(); }
    // Sends a command and waits for its reply afresh.
    void send(const SessionCommand& command);
    // A received line: applied to the state, then to the running sequence. "modul_config"
    // restarts the identity queries; "!ERROR" 20, 4 and 3 skip the value awaited.
    ModulePart onLine(std::string_view line);
    ModulePart onReply(const ParsedReply& reply);

    // A line that is not the awaited reply leaves a waiting step alone, without a trace;
    // asking again is left to the ticks.
    void RunSequenceStep(StepCause cause);

    // The automatic read after "modul_config" runs.
    bool automaticRead() const { return m_automaticRead; }
    static int gaugeValue(int step, bool readAutomatically, bool automaticRead);

private:
    void showStep();
    void act(const StepRow& row);
    bool admits(const StepRow& row) const;
    int nextStep(const StepRow& row);

    EngineHost& m_host;
    int m_basePeriodMs;
    ModuleState m_state;
    int m_step = kIdle;
    int m_lastLoggedStep = kIdle;
    bool m_automaticRead = false;
    bool m_timeSent = false;
};

} // namespace zek
