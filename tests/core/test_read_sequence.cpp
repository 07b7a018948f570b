#include "core/session/read_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace zek;

namespace {

// A module that answers every command at once, as the window would see it: each text sent
// or button pressed makes the reply keyword it asks for arrive before the next step.
class FakeHost : public SequenceHost {
public:
    bool isConnected = true, autoRead = true, configSeen = false, logger = true, trap = true, active = true,
         sent = true;
    std::set<std::string> silent; // replies that never come
    std::set<std::string, std::less<>> seen;
    std::vector<std::string> wire, logLines;
    int period = 500, gauge = 0;
    bool green = false, busy = false;

    bool connected() const override { return isConnected; }
    bool readAutomatically() const override { return autoRead; }
    bool modulConfigSeen() const override { return configSeen; }
    void clearModulConfigSeen() override { configSeen = false; }
    bool loggerCapable() const override { return logger; }
    bool trapCapable() const override { return trap; }
    bool loggerActive() const override { return active; }
    bool timeSent() const override { return sent; }
    bool replySeen(std::string_view k) const override { return seen.count(k) > 0; }
    void clearReplySeen(std::string_view k) override { seen.erase(std::string(k)); }
    void markReplySeen(std::string_view k) override { seen.insert(std::string(k)); }
    void sendText(std::string_view text) override {
        wire.emplace_back(text);
        static const std::map<std::string, std::string> replies = {{"?STARTMSG\r", "modul_typ"},
                                                                   {"?GERAET\r", "!GERAET"},
                                                                   {"?REVISION\r", "!REVISION"},
                                                                   {"?FIRMA\r", "!FIRMA"}};
        answer(replies.at(std::string(text)));
    }
    void pressButton(int id) override {
        wire.push_back(std::to_string(id));
        static const std::map<int, std::string> replies = {
            {5090, "!LOG_ON"},   {5106, "!LOG_ON"},   {5089, "!TIME_LOCAL"}, {5110, "!TIME_LOCAL"},
            {5140, "!DST_USE"},  {5135, "!DST_USE"},  {5139, "!DST_START"},  {5137, "!DST_START"},
            {5138, "!DST_STOP"}, {5136, "!DST_STOP"}, {5086, "!TRAP_IP1"},   {5107, "!TRAP_IP1"},
            {5088, "!TRAP_IP2"}, {5108, "!TRAP_IP2"}, {5087, "!TRAP_IP3"},   {5109, "!TRAP_IP3"},
            {5202, "!SNMP_LOC"}, {5201, "!SNMP_LOC"}};
        answer(replies.at(id));
    }
    void setPeriod(int ms) override { period = ms; }
    void log(std::string_view line) override { logLines.emplace_back(line); }
    void setGauge(int value, GaugeColour colour) override {
        gauge = value;
        green = colour == GaugeColour::Green;
    }
    void setGaugeValue(int value) override { gauge = value; }
    void setBusyCursor(bool b) override { busy = b; }

    void answer(const std::string& keyword) {
        if (!silent.count(keyword))
            seen.insert(keyword);
    }
};

// Runs ticks until the sequence has logged its end and shown it for one more tick.
void runToEnd(ReadSequence& sequence, int limit = 100) {
    for (int idleTicks = 0; limit-- > 0 && idleTicks < 2;) {
        idleTicks += sequence.step() == 0 ? 1 : 0;
        sequence.RunSequenceStep();
    }
}

std::vector<std::string> states(const FakeHost& host) {
    std::vector<std::string> out;
    for (const auto& line : host.logLines)
        if (line.rfind("State: ", 0) == 0)
            out.push_back(line.substr(7));
    return out;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(ReadSequence, FullAutomaticReadOfAModuleWithLAndT) {
    FakeHost host;
    ReadSequence sequence(host);
    sequence.setStep(ReadSequence::kConnectStep);
    sequence.RunSequenceStep(); // sends ?STARTMSG; the start message says modul_config
    host.configSeen = true;
    sequence.setStep(ReadSequence::kModulConfigStep);
    runToEnd(sequence);
    EXPECT_EQ(states(host), (Strings{"3", "8", "9", "10", "11", "12", "13", "14", "15", "16", "17", "18",
                                     "19", "20", "21", "22", "23", "24", "0"}));
    EXPECT_EQ(host.wire, (Strings{"?STARTMSG\r", "?GERAET\r", "?REVISION\r", "?FIRMA\r", "5090", "5089",
                                  "5140", "5139", "5138", "5086", "5088", "5087", "5202"}));
    EXPECT_EQ(host.gauge, 100);
    EXPECT_TRUE(host.green);
    EXPECT_FALSE(host.configSeen);
    EXPECT_FALSE(host.busy);
}

TEST(ReadSequence, EndsAfterTheIdentityOrSkipsTheLogger) {
    struct Case {
        bool autoRead, logger;
        Strings states;
    } cases[] = {
        {false, true, {"3", "4", "10", "11", "12", "13", "0"}},
        {true, false, {"3", "4", "10", "11", "12", "13", "20", "21", "22", "23", "24", "0"}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.autoRead = c.autoRead;
        host.logger = c.logger;
        host.configSeen = true;
        ReadSequence sequence(host);
        sequence.setStep(ReadSequence::kConnectStep);
        runToEnd(sequence);
        EXPECT_EQ(states(host), c.states);
        EXPECT_EQ(host.gauge, c.autoRead ? 100 : 0);
    }
}

TEST(ReadSequence, UnansweredStartMessageIsAskedForEverySecondTick) {
    FakeHost host;
    host.silent = {"modul_typ"};
    ReadSequence sequence(host);
    sequence.setStep(ReadSequence::kConnectStep);
    for (int i = 0; i < 6; ++i)
        sequence.RunSequenceStep();
    EXPECT_EQ(states(host), (Strings{"3", "4", "3", "4", "3", "4"}));
    EXPECT_EQ(host.wire, (Strings{"?STARTMSG\r", "?STARTMSG\r", "?STARTMSG\r"}));
    host.isConnected = false;
    sequence.RunSequenceStep();
    EXPECT_EQ(sequence.step(), 0);
}

TEST(ReadSequence, GroupSets) {
    struct Case {
        int start;
        bool logger, trap, active, sent;
        Strings wire, states;
    } cases[] = {
        {30, true, true, false, true, {"5106"}, {"30", "31", "32", "0"}},
        {30,
         true,
         true,
         true,
         true,
         {"5106", "5135", "5137", "5136", "5110"},
         {"30", "31", "32", "33", "34", "35", "36", "0"}},
        {30,
         true,
         true,
         true,
         false,
         {"5106", "5135", "5137", "5136", "5110"},
         {"30", "31", "32", "33", "34", "35", "0"}},
        {30, false, true, true, true, {}, {"30", "0"}},
        {40, true, false, true, true, {}, {"40", "0"}},
        {40, true, true, true, true, {"5107", "5108", "5109", "5201"}, {"40", "41", "42", "43", "44", "0"}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.logger = c.logger;
        host.trap = c.trap;
        host.active = c.active;
        host.sent = c.sent;
        ReadSequence sequence(host);
        sequence.setStep(c.start);
        runToEnd(sequence);
        EXPECT_EQ(host.wire, c.wire) << c.start;
        EXPECT_EQ(states(host), c.states) << c.start;
        EXPECT_EQ(host.period, 750);
    }
}

TEST(ReadSequence, ErrorRepliesSkipTheAwaitedValue) {
    struct Case {
        int step, code, after;
        const char* logged;
    } cases[] = {
        {11, 4, 13, "Skip parameter (1)"},
        {12, 20, 13, "Skip parameter (1)"},
        {16, 3, 0, "Skip parameter (2)"},
        {42, 4, 0, "Skip parameter (2)"},
        {13, 4, 13, nullptr},
        {0, 4, 0, nullptr},
        {11, 5, 11, nullptr},
        {11, 24, 11, nullptr},
    };
    for (const Case& c : cases) {
        FakeHost host;
        ReadSequence sequence(host);
        sequence.setStep(c.step);
        sequence.onError(c.code);
        EXPECT_EQ(sequence.step(), c.after) << c.step << "/" << c.code;
        const std::string logged = host.logLines.empty() ? std::string() : host.logLines.front();
        EXPECT_EQ(logged, c.logged ? c.logged : "") << c.step;
        EXPECT_EQ(host.replySeen("!TIME_LOCAL"), c.code == 24);
    }
}

TEST(ReadSequence, GaugeValues) {
    EXPECT_EQ(ReadSequence::gaugeValue(13, true, false), 0);
    EXPECT_EQ(ReadSequence::gaugeValue(19, true, false), 100); // 102, shown at the bound
    EXPECT_EQ(ReadSequence::gaugeValue(8, true, true), 20);
    EXPECT_EQ(ReadSequence::gaugeValue(24, true, false), 100);
    EXPECT_EQ(ReadSequence::gaugeValue(35, false, false), 100);
    EXPECT_EQ(ReadSequence::gaugeValue(40, true, true), 20);
    EXPECT_EQ(ReadSequence::gaugeValue(10, false, true), 0);
}
