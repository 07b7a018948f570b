#include "core/session/session_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace zek;

namespace {

using Strings = std::vector<std::string>;
using Steps = std::vector<int>;

// A module: each keyword's Read and Set buttons and its answer, one read per entry, a read of
// one or more lines. The clock answers in two reads, as a module writing each line alone does.
using A = ValueAction;
struct Exchange {
    std::optional<A> read, set;
    std::string keyword;
    Strings reads;
};
const Exchange kModule[] = {
    {{}, {}, "STARTMSG", {"modul_typ ZEK 100 date 05.12.24 SW: 1.02\rmodul_config "}},
    {{}, {}, "GERAET", {"!GERAET ZEK 100"}},
    {{}, {}, "REVISION", {"!REVISION B2"}},
    {{}, {}, "FIRMA", {"!FIRMA MERIDON"}},
    {A::ReadLogger, A::SetLogger, "LOG_ON", {"!LOG_ON 15"}},
    {A::ReadClock, A::SetClock, "TIME_UTC", {"!TIME_UTC 12:00:00 (4)", "!TIME_LOCAL 13:00:00 (W)"}},
    {A::ReadDstUse, A::SetDstUse, "DST_USE", {"!DST_USE 1"}},
    {A::ReadDstStart, A::SetDstStart, "DST_START", {"!DST_START 4 0 3 2"}},
    {A::ReadDstStop, A::SetDstStop, "DST_STOP", {"!DST_STOP 4 0 10 3"}},
    {A::ReadTrap1, A::SetTrap1, "TRAP_IP1", {"!TRAP_IP1 192.168.1.20"}},
    {A::ReadTrap2, A::SetTrap2, "TRAP_IP2", {"!TRAP_IP2 0.0.0.0"}},
    {A::ReadTrap3, A::SetTrap3, "TRAP_IP3", {"!TRAP_IP3 0.0.0.0"}},
    {A::ReadSnmpLocation, A::SetSnmpLocation, "SNMP_LOC", {"!SNMP_LOC Hall 3"}},
};

// A face around the engine: each read is parsed line by line, then runs one step.
class FakeHost : public EngineHost {
public:
    explicit FakeHost(int basePeriodMs = 500) : sequence(*this, basePeriodMs) {}

    SessionEngine sequence;
    bool isConnected = true, autoRead = true, loggerOn = false, clockSent = false;
    std::string letters = "TL";
    std::set<std::string> silent;  // keywords never answered
    std::set<ValueAction> skipped; // nothing to write
    std::string wire;              // the commands sent, each followed by a blank
    Strings logLines;              // other than the steps
    Steps states;
    std::deque<std::string> reads;
    int period = 0, gauge = -1;
    bool green = false, busy = false;

    bool connected() const override { return isConnected; }
    bool readAutomatically() const override { return autoRead; }
    bool loggerToBeActive() const override { return loggerOn; }
    void sendCommand(const SessionCommand& c) override { send(c.text.substr(0, c.text.find('\r'))); }
    ActionResult perform(ValueAction a) override {
        if (skipped.count(a))
            return ActionResult::Skipped;
        const auto& e = *std::find_if(std::begin(kModule), std::end(kModule),
                                      [a](const Exchange& e) { return e.read == a || e.set == a; });
        send((e.read == a ? "?" : "!") + e.keyword);
        return a != A::SetClock || clockSent ? ActionResult::Sent : ActionResult::Withheld;
    }
    void setPeriod(int ms) override { period = ms; }
    void log(std::string_view line) override {
        if (line.starts_with("State: "))
            states.push_back(std::stoi(std::string(line.substr(7))));
        else
            logLines.emplace_back(line);
    }
    void setGauge(int value, GaugeColour colour) override {
        gauge = value;
        green = colour == GaugeColour::Green;
    }
    void setGaugeValue(int value) override { gauge = value; }
    void setBusyCursor(bool b) override { busy = b; }

    void send(const std::string& command) {
        wire += command + " ";
        const Exchange& e = *std::find_if(std::begin(kModule), std::end(kModule),
                                          [&](const Exchange& e) { return e.keyword == command.substr(1); });
        if (silent.count(e.keyword) == 0)
            for (const std::string& read : e.reads)
                reads.push_back(e.keyword == "STARTMSG" ? read + letters : read);
    }
    // A read with one or more lines.
    void deliver(const std::string& read) {
        std::istringstream lines(read);
        for (std::string line; std::getline(lines, line, '\r');) {
            sequence.onLine(line);
        }
        sequence.RunSequenceStep(StepCause::Line);
    }
    // One tick of timer B, then what the module answers (bounded, so that a loop fails).
    void tick() {
        sequence.RunSequenceStep(StepCause::Tick);
        for (int n = 0; n < 50 && !reads.empty(); ++n, reads.pop_front())
            deliver(reads.front());
    }
    // Ticks until the sequence has ended and shown its end for one more tick.
    void runToEnd(int start) {
        sequence.setStep(start);
        for (int ticks = 0, idle = 0; ticks < 100 && idle < 2; ++ticks) {
            idle += sequence.step() == 0 ? 1 : 0;
            tick();
        }
    }
};

// Runs of consecutive steps, from .. to.
Steps trace(std::initializer_list<std::pair<int, int>> runs) {
    Steps steps;
    for (const auto& [from, to] : runs)
        for (int s = from; s <= to; ++s)
            steps.push_back(s);
    return steps;
}

} // namespace

TEST(SessionEngine, EachValueIsAskedForOrSetOnce) {
    const std::string identity = "?STARTMSG ?GERAET ?REVISION ?FIRMA ";
    const std::string snmp = "?TRAP_IP1 ?TRAP_IP2 ?TRAP_IP3 ?SNMP_LOC ";
    const std::string logger = "!LOG_ON !DST_USE !DST_START !DST_STOP !TIME_UTC ";
    // The first step; then the module's letters L and T, R read automatically, A logger
    // active, S clock sent; the steps and what is sent.
    const std::tuple<int, std::string, Steps, std::string> cases[] = {
        {3, "LTR", trace({{3, 3}, {8, 24}, {0, 0}}),
         identity + "?LOG_ON ?TIME_UTC ?DST_USE ?DST_START ?DST_STOP " + snmp},
        {3, "LT", trace({{3, 3}, {8, 13}, {0, 0}}), identity},
        {3, "TR", trace({{3, 3}, {8, 13}, {20, 24}, {0, 0}}), identity + snmp},
        {30, "LTS", trace({{30, 32}, {0, 0}}), "!LOG_ON "},
        {30, "LTAS", trace({{30, 36}, {0, 0}}), logger},
        {30, "LTA", trace({{30, 35}, {0, 0}}), logger},
        {30, "TAS", {30, 0}, ""},
        {40, "LAS", {40, 0}, ""},
        {40, "LTAS", trace({{40, 44}, {0, 0}}), "!TRAP_IP1 !TRAP_IP2 !TRAP_IP3 !SNMP_LOC "},
    };
    for (const auto& [start, flags, states, wire] : cases) {
        SCOPED_TRACE(std::to_string(start) + flags);
        FakeHost host(200);
        auto has = [&](char letter) { return flags.find(letter) != std::string::npos; };
        host.letters = std::string(has('L') ? "L" : "") + (has('T') ? "T" : "");
        host.sequence.onLine("modul_config " + host.letters);
        host.autoRead = has('R');
        host.loggerOn = has('A');
        host.clockSent = has('S');
        host.runToEnd(start);
        EXPECT_EQ(host.states, states);
        EXPECT_EQ(host.wire, wire);
        EXPECT_EQ(host.gauge, has('R') ? 100 : 0);
        EXPECT_EQ(host.green, has('R'));
        EXPECT_FALSE(host.busy);
        EXPECT_EQ(host.sequence.automaticRead(), start != 3 || !has('R'))
            << "cleared by the automatic read only";
        EXPECT_EQ(host.period, start < 30 ? 200 : 300) << "500 and 750 ms scaled to a 200 ms base";
    }
}

TEST(SessionEngine, ASkippedValueIsNotWaitedFor) {
    FakeHost host;
    host.sequence.onLine("modul_config LT");
    host.loggerOn = true;
    host.skipped = {A::SetLogger, A::SetDstUse, A::SetDstStop, A::SetClock};
    host.runToEnd(int(GroupAction::SetLogger));
    EXPECT_EQ(host.wire, "!DST_START ");
    EXPECT_EQ(host.states, trace({{30, 35}, {0, 0}}));
}

TEST(SessionEngine, AMissingReplyIsAskedForOnTicksOnly) {
    FakeHost host;
    host.silent = {"STARTMSG"};
    host.sequence.start(GroupAction::Connect);
    for (int i = 0; i < 7; ++i)
        host.tick();
    EXPECT_EQ(host.states, (Steps{3, 4, 3, 4, 3, 4, 3}));
    EXPECT_EQ(host.wire, "?STARTMSG ?STARTMSG ?STARTMSG ?STARTMSG ");

    // Another line while step 4 waits: no step back, no trace, gauge and cursor as they were.
    host.gauge = -1;
    host.deliver("!TIME_UTC 12:00:00 (4)");
    EXPECT_EQ(host.sequence.step(), 4);
    EXPECT_EQ(host.states.size(), 7u);
    EXPECT_EQ(host.gauge, -1);
    EXPECT_TRUE(host.busy);

    host.isConnected = false;
    host.tick();
    EXPECT_EQ(host.sequence.step(), 0);
}

TEST(SessionEngine, ErrorRepliesSkipTheAwaitedValue) {
    // Step, error code, step after it, whether it skips.
    const std::tuple<int, int, int, bool> cases[] = {{11, 4, 13, true},  {12, 20, 13, true}, {16, 3, 0, true},
                                                     {42, 4, 0, true},   {13, 4, 13, false}, {0, 4, 0, false},
                                                     {11, 5, 11, false}, {11, 24, 11, false}};
    for (const auto& [step, code, after, skips] : cases) {
        FakeHost host;
        host.sequence.setStep(step);
        host.sequence.onLine("!ERROR " + std::to_string(code));
        EXPECT_EQ(host.sequence.step(), after) << step << "/" << code;
        const char* logged = after == 13 ? "Skip parameter (1)" : "Skip parameter (2)";
        EXPECT_EQ(host.logLines.empty() ? "" : host.logLines.front(), skips ? logged : "") << step;
        EXPECT_EQ(host.sequence.state().seen(ReplyKey::Firma), skips && after == 13);
    }
}

TEST(SessionEngine, GaugeValues) {
    // Step, "Read settings automatically", `ModulConfigSeen`, value.
    const std::tuple<int, bool, bool, int> cases[] = {
        {13, true, false, 0},    {19, true, false, 100}, {8, true, true, 20}, {24, true, false, 100},
        {35, false, false, 100}, {40, true, true, 20},   {10, false, true, 0}};
    for (const auto& [step, automatic, configSeen, value] : cases)
        EXPECT_EQ(SessionEngine::gaugeValue(step, automatic, configSeen), value) << step;
}
