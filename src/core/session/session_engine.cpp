#include "core/session/session_engine.h"

#include <algorithm>
#include <string>

namespace zek {

namespace {

using A = ValueAction;
using K = ReplyKey;

struct ActionRow {
    ValueAction action;
    std::string_view keyword; // queried by a Read
    ReplyKey answeredBy;
};

constexpr ActionRow kActions[] = {
    {A::ReadLogger, "LOG_ON", K::LogOn},
    {A::ReadClock, "TIME_UTC", K::TimeLocal},
    {A::ReadDstUse, "DST_USE", K::DstUse},
    {A::ReadDstStart, "DST_START", K::DstStart},
    {A::ReadDstStop, "DST_STOP", K::DstStop},
    {A::ReadTrap1, "TRAP_IP1", K::TrapIp1},
    {A::ReadTrap2, "TRAP_IP2", K::TrapIp2},
    {A::ReadTrap3, "TRAP_IP3", K::TrapIp3},
    {A::ReadSnmpLocation, "SNMP_LOC", K::SnmpLoc},
    {A::SetLogger, {}, K::LogOn},
    {A::SetDstUse, {}, K::DstUse},
    {A::SetDstStart, {}, K::DstStart},
    {A::SetDstStop, {}, K::DstStop},
    {A::SetClock, {}, K::TimeLocal},
    {A::SetTrap1, {}, K::TrapIp1},
    {A::SetTrap2, {}, K::TrapIp2},
    {A::SetTrap3, {}, K::TrapIp3},
    {A::SetSnmpLocation, {}, K::SnmpLoc},
};

const ActionRow& actionRow(ValueAction action) {
    return kActions[std::size_t(action)];
}

static_assert([] {
    for (std::size_t i = 0; i < std::size(kActions); ++i)
        if (std::size_t(kActions[i].action) != i)
            return false;
    return true;
}());

} // namespace

std::optional<SessionCommand> readQuery(ValueAction action) {
    const ActionRow& row = actionRow(action);
    if (row.keyword.empty())
        return std::nullopt;
    return SessionCommand{queryText(row.keyword), row.answeredBy};
}

ReplyKey answeredBy(ValueAction action) {
    return actionRow(action).answeredBy;
}

// Conditions of the steps that do not simply go on to their next step.
enum class StepDecision {
    None,
    OnlyIfLoggerCapable, // without letter L the step ends the sequence instead of acting
    OnlyIfLoggerActive,  // with the logger to be off the set sequence ends after the logger
    OnlyIfTrapCapable,   // without letter T the step ends the sequence instead of acting
    AfterIdentity,       // the automatic read goes on to the logger (letter L) or to SNMP
    AfterLoggerRead,     // SNMP follows only during the automatic read
    EndAutomaticRead,    // the automatic read is over
    IfTimeSent,          // the clock reply is awaited only when the clock was sent
};

// One step: the period it sets (0 keeps it), the reply it waits for, the action it runs or
// the command it sends once it may go on, its decision, where it goes on to, and where it
// steps back to while the reply is missing.
struct StepRow {
    int step;
    int periodMs;
    std::optional<ReplyKey> awaited;
    std::optional<ValueAction> action;
    SessionCommand (*send)();
    StepDecision decision;
    int next;
    int back;
};

namespace {

using D = StepDecision;
constexpr auto kNoReply = std::nullopt;
constexpr auto kNoAction = std::nullopt;
constexpr int kFast = SessionEngine::kFastPeriodMs;
constexpr int kSlow = SessionEngine::kSlowPeriodMs;
constexpr int kReadLogger = int(GroupAction::ReadLogger);
constexpr int kReadSnmp = int(GroupAction::ReadSnmp);

constexpr StepRow kSteps[] = {
    // Identity: the start message, device type, revision and company.
    {3, kFast, kNoReply, kNoAction, startMessageQuery, D::None, 4, 0},
    {4, 0, K::ModulTyp, kNoAction, nullptr, D::None, 10, 3},
    {10, kFast, kNoReply, kNoAction, deviceTypeQuery, D::None, 11, 0},
    {11, 0, K::Geraet, kNoAction, revisionQuery, D::None, 12, 10},
    {12, 0, K::Revision, kNoAction, companyQuery, D::None, 13, 11},
    {13, 0, K::Firma, kNoAction, nullptr, D::AfterIdentity, 0, 12},
    // Reading the data logger, the clock and the daylight-saving rules.
    {14, kFast, kNoReply, A::ReadLogger, nullptr, D::None, 15, 0},
    {15, 0, K::LogOn, A::ReadClock, nullptr, D::None, 16, 14},
    {16, 0, K::TimeLocal, A::ReadDstUse, nullptr, D::None, 17, 15},
    {17, 0, K::DstUse, A::ReadDstStart, nullptr, D::None, 18, 16},
    {18, 0, K::DstStart, A::ReadDstStop, nullptr, D::None, 19, 17},
    {19, 0, K::DstStop, kNoAction, nullptr, D::AfterLoggerRead, 0, 18},
    // Reading the trap receivers and the location.
    {20, kFast, kNoReply, A::ReadTrap1, nullptr, D::None, 21, 0},
    {21, 0, K::TrapIp1, A::ReadTrap2, nullptr, D::None, 22, 20},
    {22, 0, K::TrapIp2, A::ReadTrap3, nullptr, D::None, 23, 21},
    {23, 0, K::TrapIp3, A::ReadSnmpLocation, nullptr, D::None, 24, 22},
    {24, 0, K::SnmpLoc, kNoAction, nullptr, D::EndAutomaticRead, 0, 23},
    // Setting the data-logger group.
    {30, kSlow, kNoReply, kNoAction, nullptr, D::OnlyIfLoggerCapable, 31, 0},
    {31, 0, kNoReply, A::SetLogger, nullptr, D::None, 32, 0},
    {32, 0, K::LogOn, A::SetDstUse, nullptr, D::OnlyIfLoggerActive, 33, 31},
    {33, 0, K::DstUse, A::SetDstStart, nullptr, D::None, 34, 32},
    {34, 0, K::DstStart, A::SetDstStop, nullptr, D::None, 35, 33},
    {35, 0, K::DstStop, A::SetClock, nullptr, D::IfTimeSent, 36, 34},
    {36, 0, K::TimeLocal, kNoAction, nullptr, D::None, 0, 35},
    // Setting the SNMP group.
    {40, kSlow, kNoReply, A::SetTrap1, nullptr, D::OnlyIfTrapCapable, 41, 0},
    {41, 0, K::TrapIp1, A::SetTrap2, nullptr, D::None, 42, 40},
    {42, 0, K::TrapIp2, A::SetTrap3, nullptr, D::None, 43, 41},
    {43, 0, K::TrapIp3, A::SetSnmpLocation, nullptr, D::None, 44, 42},
    {44, 0, K::SnmpLoc, kNoAction, nullptr, D::None, 0, 43},
};

const StepRow* findStep(int step) {
    const auto* row = std::find_if(std::begin(kSteps), std::end(kSteps),
                                   [step](const StepRow& r) { return r.step == step; });
    return row == std::end(kSteps) ? nullptr : row;
}

// Steps 1, 2 and 5 to 9 have no row and run on to the next step by themselves.
bool runsOn(int step) {
    return step >= 1 && step <= 9 && step != 3 && step != 4;
}

} // namespace

int SessionEngine::gaugeValue(int s, bool readAutomatically, bool automaticRead) {
    int value = 0;
    if (s < 30) {
        if (!readAutomatically)
            value = 0;
        else if (automaticRead)
            value = (s - 3) * 4;
        else if (s < 10)
            value = (s - 3) * 10;
        else if (s < 20)
            value = (s - 13) * 17;
        else
            value = (s - 19) * 20;
    } else if (s <= 36) {
        value = (s - 29) * 17;
    } else {
        value = (s - 39) * 20;
    }
    return std::clamp(value, 0, 100);
}

void SessionEngine::send(const SessionCommand& command) {
    m_state.awaiting(command.answeredBy);
    m_host.sendCommand(command);
}

ModulePart SessionEngine::onLine(std::string_view line) {
    return onReply(ParseReply(line));
}

ModulePart SessionEngine::onReply(const ParsedReply& reply) {
    const ModulePart part = m_state.apply(reply);
    if (part == ModulePart::Capabilities) {
        m_automaticRead = true;
        m_step = kModulConfigStep;
    } else if (part == ModulePart::Error) {
        const int code = *m_state.lastError();
        if (code != 20 && code != 4 && code != 3)
            return part;
        if (m_step >= 10 && m_step <= 12) {
            m_state.skip(ReplyKey::Firma);
            m_step = 13;
            m_host.log("Skip parameter (1)");
        } else if (m_step >= 14) {
            m_step = kIdle;
            m_host.log("Skip parameter (2)");
        }
    }
    return part;
}

void SessionEngine::showStep() {
    if (m_step == m_lastLoggedStep) {
        m_host.setBusyCursor(false);
        if (m_host.connected() && m_host.readAutomatically())
            m_host.setGauge(100, EngineHost::GaugeColour::Green);
        else
            m_host.setGaugeValue(0);
        return;
    }
    m_host.log("State: " + std::to_string(m_step));
    m_lastLoggedStep = m_step;
    m_host.setBusyCursor(true);
    if (m_step > 0)
        m_host.setGauge(gaugeValue(m_step, m_host.readAutomatically(), m_automaticRead),
                        EngineHost::GaugeColour::Yellow);
}

bool SessionEngine::admits(const StepRow& row) const {
    switch (row.decision) {
    case D::OnlyIfLoggerCapable:
        return m_state.loggerCapable();
    case D::OnlyIfLoggerActive:
        return m_host.loggerToBeActive();
    case D::OnlyIfTrapCapable:
        return m_state.trapCapable();
    default:
        return true;
    }
}

int SessionEngine::nextStep(const StepRow& row) {
    switch (row.decision) {
    case D::AfterIdentity:
        return !m_host.readAutomatically() ? kIdle : m_state.loggerCapable() ? kReadLogger : kReadSnmp;
    case D::AfterLoggerRead:
        return m_automaticRead ? kReadSnmp : kIdle;
    case D::EndAutomaticRead:
        m_automaticRead = false;
        return row.next;
    case D::IfTimeSent:
        return m_timeSent ? row.next : kIdle;
    default:
        return row.next;
    }
}

void SessionEngine::act(const StepRow& row) {
    if (row.periodMs > 0)
        m_host.setPeriod(row.periodMs * m_basePeriodMs / kFastPeriodMs);
    if (!admits(row)) {
        m_step = kIdle;
        return;
    }
    if (row.action) {
        m_state.awaiting(answeredBy(*row.action));
        const ActionResult result = m_host.perform(*row.action);
        if (result == ActionResult::Skipped)
            m_state.skip(answeredBy(*row.action));
        if (row.action == ValueAction::SetClock)
            m_timeSent = result == ActionResult::Sent;
    }
    if (row.send)
        send(row.send());
    m_step = nextStep(row);
}

void SessionEngine::RunSequenceStep(StepCause cause) {
    if (!m_host.connected())
        m_step = kIdle;
    const StepRow* row = findStep(m_step);
    const bool replyMissing = row && row->awaited && !m_state.seen(*row->awaited);
    if (replyMissing && cause == StepCause::Line)
        return;
    showStep();
    if (replyMissing)
        m_step = row->back;
    else if (row)
        act(*row);
    if (runsOn(m_step))
        ++m_step;
}

} // namespace zek
