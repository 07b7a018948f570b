#pragma once

#include "core/scan/device_record.h"
#include "core/session/command_texts.h"
#include "core/session/session_engine.h"
#include "ctl/ctl_values.h"
#include "net/search_endpoint.h"
#include "net/tcp_line_client.h"

#include <map>
#include <optional>
#include <string>

namespace zek::cli {

using net::Clock;
using net::ModuleList;
using net::SearchEndpoint;
using net::Trace;

// A TCP session to one module that runs the session engine's sequences, as fast as the
// module answers: each Read action sends its query, each Set action the value planned for it.
// Every wait is bounded: a query is asked `kTriesPerQuery` times, each time given `waitMs`
// to be answered, and a run ends after `kLongestRunInWaits` waits whatever the module sends.
// A module that answers a query with "!ERROR n" ends the session: a read that left a value
// out would print, back up and restore a module that is not the one asked.
class ModuleSession : public EngineHost {
public:
    // The steps' base period: how soon a step that needs no reply goes on.
    static constexpr int kStepPeriodMs = 200;
    // A fleet's sessions go on at once: a step that needs no reply sends nothing, and a
    // query is still asked again only after `waitMs`, so the wire sees the same commands.
    static constexpr int kLeanStepPeriodMs = 1;
    static constexpr int kTriesPerQuery = 3;
    static constexpr int kLongestRunInWaits = 30;

    ModuleSession(Trace trace, int waitMs, int stepPeriodMs = kStepPeriodMs)
        : m_trace(std::move(trace)), m_waitMs(waitMs), m_engine(*this, stepPeriodMs),
          m_periodMs(stepPeriodMs) {}

    bool connect(std::uint32_t from, const DeviceRecord& module, std::string& error);
    // Runs one of the engine's sequences until it ends; false when a command went unanswered
    // or was answered otherwise, the module closed the connection or the socket failed.
    bool run(GroupAction group, std::string& error);
    // Runs a group Set of the engine that writes these commands and skips every other value.
    bool write(GroupAction group, const std::vector<PlannedWrite>& writes, std::string& error);
    // Sends one command and waits for the reply that answers it.
    bool exchange(const SessionCommand& command, std::string& error);

    ModuleSettings settings() const { return ModuleSettings::of(m_engine.state()); }
    const ModuleState& state() const { return m_engine.state(); }

    // EngineHost
    bool connected() const override { return m_client.isOpen() && m_error.empty(); }
    bool readAutomatically() const override { return true; }
    // The tool writes exactly the values named, the rules also while the logger is off.
    bool loggerToBeActive() const override { return true; }
    ActionResult perform(ValueAction action) override;
    void sendCommand(const SessionCommand& command) override;
    void setPeriod(int milliseconds) override { m_periodMs = milliseconds; }
    void log(std::string_view line) override;
    void setGauge(int, GaugeColour) override {}
    void setGaugeValue(int) override {}
    void setBusyCursor(bool) override {}

private:
    // Waits for bytes until `deadline`; false on a closed or failed connection.
    bool receive(Clock::time_point deadline, std::size_t& lines);
    void onLine(std::string_view line);
    std::string lostText() const;
    std::string unansweredText() const;
    bool awaiting() const { return m_awaited && !m_engine.state().seen(*m_awaited); }

    Trace m_trace;
    int m_waitMs;
    net::TcpLineClient m_client;
    SessionEngine m_engine;
    const std::vector<PlannedWrite>* m_writes = nullptr; // while a group Set runs
    int m_periodMs;
    std::string m_peer;
    std::string m_error;
    // The last command sent, what answers it, when, and the first line that came after it.
    std::string m_query;
    std::optional<ReplyKey> m_awaited;
    Clock::time_point m_sentAt;
    std::optional<std::string> m_answer;
    std::map<std::string, int> m_sends; // per command text, in this run
};

} // namespace zek::cli
