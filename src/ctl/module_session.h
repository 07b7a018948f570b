#pragma once

#include "core/scan/device_record.h"
#include "core/session/command_texts.h"
#include "core/session/read_sequence.h"
#include "core/session/session_flags.h"
#include "ctl/ctl_values.h"
#include "ctl/module_finder.h"
#include "net/tcp_line_client.h"

#include <string>

namespace zek::cli {

// A TCP session to one module that runs the window's read sequence: the same step machine
// and command texts, with a host that sends the query of each Read button the steps press.
// Every wait is bounded: `waitMs` without any reply ends the session with an error.
class ModuleSession : public SequenceHost {
public:
    // The steps' base period: a missing reply is asked for again every second period.
    static constexpr int kStepPeriodMs = 200;

    ModuleSession(Trace trace, int waitMs)
        : m_trace(std::move(trace)), m_waitMs(waitMs), m_sequence(*this, kStepPeriodMs) {}

    bool connect(std::uint32_t from, const DeviceRecord& module, std::string& error);
    // Runs the sequence from `step` until it ends; false when the module stopped answering,
    // closed the connection or the socket failed.
    bool run(int step, std::string& error);
    // Sends one command and waits for the reply that answers it.
    bool exchange(const SessionCommand& command, std::string& error);

    const ModuleSettings& settings() const { return m_settings; }
    const SessionFlags& flags() const { return m_flags; }

    // SequenceHost
    bool connected() const override { return m_client.isOpen() && m_error.empty(); }
    bool readAutomatically() const override { return true; }
    bool modulConfigSeen() const override { return m_flags.ModulConfigSeen; }
    void clearModulConfigSeen() override { m_flags.ModulConfigSeen = false; }
    bool loggerCapable() const override { return m_flags.LoggerCapable; }
    bool trapCapable() const override { return m_flags.TrapCapable; }
    bool loggerActive() const override { return m_flags.LoggerActive; }
    bool timeSent() const override { return m_flags.TimeSent; }
    bool replySeen(ReplyKey key) const override { return m_flags.seen(key); }
    void clearReplySeen(ReplyKey key) override { m_flags.setSeen(key, false); }
    void markReplySeen(ReplyKey key) override { m_flags.setSeen(key); }
    void sendText(std::string_view text) override;
    void pressButton(int id) override;
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

    Trace m_trace;
    int m_waitMs;
    net::TcpLineClient m_client;
    SessionFlags m_flags;
    ModuleSettings m_settings;
    ReadSequence m_sequence;
    int m_periodMs = kStepPeriodMs;
    std::string m_peer;
    std::string m_error;
    Clock::time_point m_lastReply;
    std::optional<int> m_errorReply; // the last "!ERROR n" seen
};

} // namespace zek::cli
