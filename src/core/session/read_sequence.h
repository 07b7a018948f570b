#pragma once

#include <string_view>

namespace zek {

// What the read/write step machine needs from the window: the session's condition, the
// flags the reply parser sets, and the actions it runs. Keywords are the replies' own
// ("modul_typ", "!GERAET", "!TIME_LOCAL", ...).
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
    virtual bool replySeen(std::string_view keyword) const = 0;
    virtual void clearReplySeen(std::string_view keyword) = 0;
    virtual void markReplySeen(std::string_view keyword) = 0;

    virtual void sendText(std::string_view text) = 0;
    virtual void pressButton(int id) = 0;
    virtual void setPeriod(int milliseconds) = 0;
    virtual void log(std::string_view line) = 0;

    enum class GaugeColour { Yellow, Green };
    virtual void setGauge(int value, GaugeColour colour) = 0;
    virtual void setGaugeValue(int value) = 0;
    virtual void setBusyCursor(bool busy) = 0;
};

// The step machine that reads a module's identity and settings and writes groups of
// settings: one step per timer tick and after each received reply line; a reply that
// does not come makes the previous step send its command again.
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

    explicit ReadSequence(SequenceHost& host) : m_host(host) {}

    int step() const { return m_step; }
    // From outside: connect (3), the reply parser (8, 13, 0) and the group buttons.
    void setStep(int step) { m_step = step; }

    // What an "!ERROR" reply with this code does: 24 answers a clock query; 20, 4 and 3 skip
    // the value a running sequence waits for.
    void onError(int code);

    void RunSequenceStep();

    // The gauge value shown for a step.
    static int gaugeValue(int step, bool readAutomatically, bool modulConfigSeen);

private:
    // Waits for a reply: true when it came; else steps back so the previous step repeats.
    bool waitFor(std::string_view keyword);

    SequenceHost& m_host;
    int m_step = kIdle;
    int m_lastLoggedStep = kIdle;
};

} // namespace zek
