#include "ctl/module_session.h"

#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"

#include <utility>

namespace zek::cli {

namespace {

std::chrono::milliseconds ms(int n) {
    return std::chrono::milliseconds(n);
}

// A module's line for a message or the trace: UTF-8, control characters escaped, cut.
std::string shownLine(std::string_view line) {
    const std::string text = latin1ToUtf8(line.substr(0, 200));
    return visibleText(text) + (line.size() > 200 ? "..." : "");
}

} // namespace

bool ModuleSession::connect(std::uint32_t from, const DeviceRecord& module, std::string& error) {
    m_peer = dottedText(module.CurrentIp) + ":" + std::to_string(module.Port);
    if (const std::string problem = connectProblem(module.CurrentIp, from); !problem.empty()) {
        error = "the module reports IP " + dottedText(module.CurrentIp) + ", " + problem + ": not connecting";
        return false;
    }
    const auto status =
        m_client.connect(from, module.CurrentIp, std::uint16_t(module.Port), Clock::now() + ms(m_waitMs));
    if (status == net::TcpLineClient::Status::Ok)
        return true;
    error = "cannot connect to " + m_peer + ": " +
            (status == net::TcpLineClient::Status::TimedOut
                 ? "no answer within " + std::to_string(m_waitMs) + " ms"
                 : net::errorText(m_client.error()));
    return false;
}

void ModuleSession::sendCommand(const SessionCommand& sent) {
    if (!connected())
        return;
    const std::string_view text = sent.text;
    const std::string command(text.substr(0, text.find('\r')));
    if (++m_sends[command] > kTriesPerQuery) {
        m_error = unansweredText();
        return;
    }
    if (m_client.send(text, Clock::now() + ms(m_waitMs)) != net::TcpLineClient::Status::Ok) {
        m_error = "cannot send to " + m_peer + ": " + net::errorText(m_client.error());
        return;
    }
    m_query = command;
    m_awaited = sent.answeredBy;
    m_sentAt = Clock::now();
    m_answer.reset();
    if (m_trace)
        m_trace("SND: " + visibleText(latin1ToUtf8(command)));
}

ActionResult ModuleSession::perform(ValueAction action) {
    if (const auto query = readQuery(action)) {
        m_engine.send(*query);
        return ActionResult::Sent;
    }
    if (m_writes)
        for (const PlannedWrite& write : *m_writes)
            if (write.action == action) {
                m_engine.send(write.command);
                return ActionResult::Sent;
            }
    return ActionResult::Skipped;
}

bool ModuleSession::write(GroupAction group, const std::vector<PlannedWrite>& writes, std::string& error) {
    m_writes = &writes;
    const bool done = run(group, error);
    m_writes = nullptr;
    return done;
}

void ModuleSession::log(std::string_view line) {
    if (m_trace)
        m_trace(line);
}

void ModuleSession::onLine(std::string_view line) {
    if (m_trace)
        m_trace("RCV: " + shownLine(line));
    if (!m_query.empty() && !m_answer && !line.empty())
        m_answer = std::string(line);
    // An error reply does not count as the awaited one, so the wait it ends is still open.
    if (m_engine.onLine(line) == ModulePart::Error && awaiting() && m_error.empty())
        m_error = unansweredText();
}

std::string ModuleSession::lostText() const {
    return m_client.error() == 0
               ? "the module " + m_peer + " closed the connection"
               : "the connection to " + m_peer + " broke: " + net::errorText(m_client.error());
}

std::string ModuleSession::unansweredText() const {
    const std::string query = visibleText(latin1ToUtf8(m_query));
    if (!m_answer)
        return "no reply to " + query + " from " + m_peer + " within " + std::to_string(m_waitMs) + " ms";
    return "module answered \"" + shownLine(*m_answer) + "\" to " + query + " (" + m_peer + ")";
}

bool ModuleSession::receive(Clock::time_point deadline, std::size_t& lines) {
    const auto status = m_client.receive(
        deadline,
        [this](std::string_view line) {
            onLine(line);
            return true;
        },
        lines);
    if ((status == net::TcpLineClient::Status::Closed || status == net::TcpLineClient::Status::Failed) &&
        m_error.empty())
        m_error = lostText();
    return m_error.empty();
}

bool ModuleSession::run(GroupAction group, std::string& error) {
    m_sends.clear();
    const auto deadline = Clock::now() + ms(std::max(m_waitMs, m_periodMs)) * kLongestRunInWaits;
    m_engine.start(group);
    m_engine.RunSequenceStep(StepCause::Tick);
    auto nextTick = Clock::now() + ms(m_periodMs);
    // A tick without the awaited reply steps back to ask again: it waits until the module
    // had `waitMs` to answer. Lines never put the tick off, so unasked lines cannot hold a
    // step for ever.
    const auto tickAt = [&] { return awaiting() ? std::max(nextTick, m_sentAt + ms(m_waitMs)) : nextTick; };
    while (m_error.empty() && !m_engine.idle()) {
        if (Clock::now() >= deadline) {
            m_error = "the session with " + m_peer + " did not end within " +
                      std::to_string(kLongestRunInWaits) + " waits (step " + std::to_string(m_engine.step()) +
                      ")";
            break;
        }
        std::size_t lines = 0;
        if (!receive(std::min(tickAt(), deadline), lines))
            break;
        if (lines > 0)
            m_engine.RunSequenceStep(StepCause::Line);
        if (m_error.empty() && Clock::now() >= tickAt()) {
            m_engine.RunSequenceStep(StepCause::Tick);
            nextTick = Clock::now() + ms(m_periodMs);
        }
    }
    error = m_error;
    return m_error.empty();
}

bool ModuleSession::exchange(const SessionCommand& command, std::string& error) {
    m_sends.clear();
    m_engine.send(command);
    const auto deadline = Clock::now() + ms(m_waitMs);
    std::size_t lines = 0;
    while (m_error.empty() && !m_engine.state().seen(command.answeredBy) && Clock::now() < deadline)
        receive(deadline, lines);
    if (m_error.empty() && !m_engine.state().seen(command.answeredBy))
        m_error = unansweredText();
    error = m_error;
    return m_error.empty();
}

} // namespace zek::cli
