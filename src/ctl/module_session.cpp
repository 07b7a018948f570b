#include "ctl/module_session.h"

#include "core/scan/device_protocol.h"
#include "core/session/reply_parser.h"

namespace zek::cli {

namespace {

// A module that sends lines forever still ends the session after this many waits.
constexpr int kLongestRunInWaits = 30;

std::chrono::milliseconds ms(int n) {
    return std::chrono::milliseconds(n);
}

} // namespace

bool ModuleSession::connect(std::uint32_t from, const DeviceRecord& module, std::string& error) {
    m_peer = dottedText(module.CurrentIp) + ":" + std::to_string(module.Port);
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

void ModuleSession::sendText(std::string_view text) {
    if (!connected())
        return;
    if (m_client.send(text, Clock::now() + ms(m_waitMs)) != net::TcpLineClient::Status::Ok) {
        m_error = "cannot send to " + m_peer + ": " + net::errorText(m_client.error());
        return;
    }
    if (m_trace)
        m_trace("SND: " + std::string(text));
}

void ModuleSession::pressButton(int id) {
    // Only the Read buttons are pressed: the tool writes by single commands, not set sequences.
    if (const ReadButton* button = findReadButton(id)) {
        const SessionCommand command = readCommand(*button);
        clearReplySeen(command.answeredBy);
        sendText(command.text);
    }
}

void ModuleSession::log(std::string_view line) {
    if (m_trace)
        m_trace(line);
}

void ModuleSession::onLine(std::string_view line) {
    if (m_trace)
        m_trace("RCV: " + std::string(line));
    const ParsedReply reply = ParseReply(line);
    noteReply(reply, m_flags);
    m_sequence.onReply(reply);
    m_settings.note(reply);
    if (reply.kind == ReplyKind::LogOn)
        m_flags.LoggerActive = loggerReply(reply.number).active;
    if (reply.kind == ReplyKind::Error)
        m_errorReply = reply.number;
    if (reply.kind != ReplyKind::None)
        m_lastReply = Clock::now();
}

std::string ModuleSession::lostText() const {
    return m_client.error() == 0
               ? "the module " + m_peer + " closed the connection"
               : "the connection to " + m_peer + " broke: " + net::errorText(m_client.error());
}

bool ModuleSession::receive(Clock::time_point deadline, std::size_t& lines) {
    const auto status = m_client.receive(
        deadline,
        [this](std::string_view line) {
            onLine(line);
            return true;
        },
        lines);
    if (status == net::TcpLineClient::Status::Closed || status == net::TcpLineClient::Status::Failed)
        m_error = lostText();
    return m_error.empty();
}

bool ModuleSession::run(int step, std::string& error) {
    const auto start = Clock::now();
    m_lastReply = start;
    m_sequence.setStep(step);
    m_sequence.RunSequenceStep(StepCause::Tick);
    auto nextTick = Clock::now() + ms(m_periodMs);
    while (m_error.empty() && m_sequence.step() != ReadSequence::kIdle) {
        const auto now = Clock::now();
        if (now - m_lastReply > ms(m_waitMs) || now - start > ms(m_waitMs) * kLongestRunInWaits) {
            error = "the module " + m_peer + " stopped answering (read step " +
                    std::to_string(m_sequence.step()) + ", waited " + std::to_string(m_waitMs) + " ms)";
            return false;
        }
        std::size_t lines = 0;
        if (!receive(std::min(nextTick, m_lastReply + ms(m_waitMs)), lines))
            break;
        if (lines > 0 || Clock::now() >= nextTick) {
            m_sequence.RunSequenceStep(lines > 0 ? StepCause::Line : StepCause::Tick);
            nextTick = Clock::now() + ms(m_periodMs);
        }
    }
    error = m_error;
    return m_error.empty();
}

bool ModuleSession::exchange(const SessionCommand& command, std::string& error) {
    clearReplySeen(command.answeredBy);
    m_errorReply.reset();
    sendText(command.text);
    const auto deadline = Clock::now() + ms(m_waitMs);
    std::size_t lines = 0;
    while (m_error.empty() && !replySeen(command.answeredBy) && !m_errorReply && Clock::now() < deadline)
        receive(deadline, lines);
    const std::string sent = std::string(command.text.substr(0, command.text.size() - 1));
    if (m_error.empty() && m_errorReply)
        m_error = "the module answered \"!ERROR " + std::to_string(*m_errorReply) + "\" to \"" + sent + "\"";
    else if (m_error.empty() && !replySeen(command.answeredBy))
        m_error = "no reply to \"" + sent + "\" within " + std::to_string(m_waitMs) + " ms";
    error = m_error;
    return m_error.empty();
}

} // namespace zek::cli
