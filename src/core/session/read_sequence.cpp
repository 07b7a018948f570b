#include "core/session/read_sequence.h"

#include "core/app/control_ids.h"
#include "core/session/command_texts.h"
#include "core/session/reply_parser.h"

#include <algorithm>
#include <optional>
#include <string>

namespace zek {

// Conditions of the steps that do not simply go on to their next step.
enum class StepDecision {
    None,
    OnlyIfLoggerCapable, // without letter L the step ends the sequence instead of acting
    OnlyIfLoggerActive,  // with the logger off the set sequence ends after the logger
    OnlyIfTrapCapable,   // without letter T the step ends the sequence instead of acting
    AfterIdentity,       // the automatic read goes on to the logger (letter L) or to SNMP
    AfterLoggerRead,     // SNMP follows only during the automatic read
    EndAutomaticRead,    // the automatic read is over
    IfTimeSent,          // the clock reply is awaited only when the clock was sent
};

// One step: the period it sets on timer B (0 keeps it), the reply it waits for, the button
// it presses or the command it sends once it may go on, its decision, where it goes on
// to, and where it steps back to while the reply is missing.
struct StepRow {
    int step;
    int periodMs;
    std::optional<ReplyKey> awaited;
    int press;
    SessionCommand (*send)();
    StepDecision decision;
    int next;
    int back;
};

namespace {

using D = StepDecision;
using K = ReplyKey;
constexpr auto kNoReply = std::nullopt;
constexpr int kFast = ReadSequence::kFastPeriodMs;
constexpr int kSlow = ReadSequence::kSlowPeriodMs;

constexpr StepRow kSteps[] = {
    // Identity: the start message, device type, revision and company.
    {3, kFast, kNoReply, 0, startMessageQuery, D::None, 4, 0},
    {4, 0, K::ModulTyp, 0, nullptr, D::None, 10, 3},
    {10, kFast, kNoReply, 0, deviceTypeQuery, D::None, 11, 0},
    {11, 0, K::Geraet, 0, revisionQuery, D::None, 12, 10},
    {12, 0, K::Revision, 0, companyQuery, D::None, 13, 11},
    {13, 0, K::Firma, 0, nullptr, D::AfterIdentity, 0, 12},
    // Reading the data logger, the clock and the daylight-saving rules.
    {14, kFast, kNoReply, ctl::LoggerRead, nullptr, D::None, 15, 0},
    {15, 0, K::LogOn, ctl::ClockRead, nullptr, D::None, 16, 14},
    {16, 0, K::TimeLocal, ctl::DstUseRead, nullptr, D::None, 17, 15},
    {17, 0, K::DstUse, ctl::kDstStartRow.readButton, nullptr, D::None, 18, 16},
    {18, 0, K::DstStart, ctl::kDstStopRow.readButton, nullptr, D::None, 19, 17},
    {19, 0, K::DstStop, 0, nullptr, D::AfterLoggerRead, 0, 18},
    // Reading the trap receivers and the location.
    {20, kFast, kNoReply, ctl::kTrapRows[0].readButton, nullptr, D::None, 21, 0},
    {21, 0, K::TrapIp1, ctl::kTrapRows[1].readButton, nullptr, D::None, 22, 20},
    {22, 0, K::TrapIp2, ctl::kTrapRows[2].readButton, nullptr, D::None, 23, 21},
    {23, 0, K::TrapIp3, ctl::SnmpLocationRead, nullptr, D::None, 24, 22},
    {24, 0, K::SnmpLoc, 0, nullptr, D::EndAutomaticRead, 0, 23},
    // Setting the data-logger group.
    {30, kSlow, kNoReply, 0, nullptr, D::OnlyIfLoggerCapable, 31, 0},
    {31, 0, kNoReply, ctl::LoggerSet, nullptr, D::None, 32, 0},
    {32, 0, K::LogOn, ctl::DstUseSet, nullptr, D::OnlyIfLoggerActive, 33, 31},
    {33, 0, K::DstUse, ctl::kDstStartRow.setButton, nullptr, D::None, 34, 32},
    {34, 0, K::DstStart, ctl::kDstStopRow.setButton, nullptr, D::None, 35, 33},
    {35, 0, K::DstStop, ctl::ClockSet, nullptr, D::IfTimeSent, 36, 34},
    {36, 0, K::TimeLocal, 0, nullptr, D::None, 0, 35},
    // Setting the SNMP group.
    {40, kSlow, kNoReply, ctl::kTrapRows[0].setButton, nullptr, D::OnlyIfTrapCapable, 41, 0},
    {41, 0, K::TrapIp1, ctl::kTrapRows[1].setButton, nullptr, D::None, 42, 40},
    {42, 0, K::TrapIp2, ctl::kTrapRows[2].setButton, nullptr, D::None, 43, 41},
    {43, 0, K::TrapIp3, ctl::SnmpLocationSet, nullptr, D::None, 44, 42},
    {44, 0, K::SnmpLoc, 0, nullptr, D::None, 0, 43},
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

int ReadSequence::gaugeValue(int s, bool readAutomatically, bool modulConfigSeen) {
    int value = 0;
    if (s < 30) {
        if (!readAutomatically)
            value = 0;
        else if (modulConfigSeen)
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

void ReadSequence::onReply(const ParsedReply& reply) {
    if (reply.kind == ReplyKind::ModulConfig) {
        m_step = kModulConfigStep;
        return;
    }
    if (reply.kind != ReplyKind::Error || (reply.number != 20 && reply.number != 4 && reply.number != 3))
        return;
    if (m_step >= 10 && m_step <= 12) {
        m_host.markReplySeen(ReplyKey::Firma);
        m_step = 13;
        m_host.log("Skip parameter (1)");
    } else if (m_step >= 14) {
        m_step = kIdle;
        m_host.log("Skip parameter (2)");
    }
}

void ReadSequence::showStep() {
    if (m_step == m_lastLoggedStep) {
        m_host.setBusyCursor(false);
        if (m_host.connected() && m_host.readAutomatically())
            m_host.setGauge(100, SequenceHost::GaugeColour::Green);
        else
            m_host.setGaugeValue(0);
        return;
    }
    m_host.log("State: " + std::to_string(m_step));
    m_lastLoggedStep = m_step;
    m_host.setBusyCursor(true);
    if (m_step > 0)
        m_host.setGauge(gaugeValue(m_step, m_host.readAutomatically(), m_host.modulConfigSeen()),
                        SequenceHost::GaugeColour::Yellow);
}

bool ReadSequence::admits(const StepRow& row) const {
    switch (row.decision) {
    case D::OnlyIfLoggerCapable:
        return m_host.loggerCapable();
    case D::OnlyIfLoggerActive:
        return m_host.loggerActive();
    case D::OnlyIfTrapCapable:
        return m_host.trapCapable();
    default:
        return true;
    }
}

int ReadSequence::nextStep(const StepRow& row) {
    switch (row.decision) {
    case D::AfterIdentity:
        return !m_host.readAutomatically() ? kIdle : m_host.loggerCapable() ? kReadLogger : kReadSnmp;
    case D::AfterLoggerRead:
        return m_host.modulConfigSeen() ? kReadSnmp : kIdle;
    case D::EndAutomaticRead:
        m_host.clearModulConfigSeen();
        return row.next;
    case D::IfTimeSent:
        return m_host.timeSent() ? row.next : kIdle;
    default:
        return row.next;
    }
}

void ReadSequence::act(const StepRow& row) {
    if (row.periodMs > 0)
        m_host.setPeriod(row.periodMs * m_basePeriodMs / kFastPeriodMs);
    if (!admits(row)) {
        m_step = kIdle;
        return;
    }
    if (row.press != 0)
        m_host.pressButton(row.press);
    if (row.send) {
        const SessionCommand command = row.send();
        m_host.clearReplySeen(command.answeredBy);
        m_host.sendText(command.text);
    }
    m_step = nextStep(row);
}

void ReadSequence::RunSequenceStep(StepCause cause) {
    if (!m_host.connected())
        m_step = kIdle;
    const StepRow* row = findStep(m_step);
    const bool replyMissing = row && row->awaited && !m_host.replySeen(*row->awaited);
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
