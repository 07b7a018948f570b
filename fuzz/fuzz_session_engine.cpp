// Any bytes as what a module answers during a session: lines split at CR or LF, each
// applied to the engine, a tick after each. A part the state reports changed must be
// there whole, and the steps stay within the sequences, whatever the module says.
#include "core/session/session_engine.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

struct Host : zek::EngineHost {
    int sends = 0;
    bool connected() const override { return true; }
    bool readAutomatically() const override { return true; }
    bool loggerToBeActive() const override { return true; }
    zek::ActionResult perform(zek::ValueAction) override { return zek::ActionResult(++sends % 3); }
    void sendCommand(const zek::SessionCommand&) override { ++sends; }
    void setPeriod(int) override {}
    void log(std::string_view) override {}
    void setGauge(int value, GaugeColour) override {
        if (value < 0 || value > 100)
            std::abort();
    }
    void setGaugeValue(int) override {}
    void setBusyCursor(bool) override {}
};

bool whole(const zek::ModuleState& s, zek::ModulePart part) {
    using P = zek::ModulePart;
    switch (part) {
    case P::Capabilities:
        return s.capabilityWord().has_value();
    case P::Logger:
        return s.loggerActive().has_value() && (!*s.loggerActive() || s.loggerInterval());
    case P::UtcClock:
        return s.utcClock().has_value();
    case P::LocalClock:
        return s.localClock().has_value();
    case P::DstUse:
        return s.dstUse().has_value();
    case P::DstStart:
    case P::DstStop: {
        const auto& rule = s.dstRule(part == P::DstStart ? zek::DstRuleRow::Start : zek::DstRuleRow::Stop);
        return rule && rule->valid();
    }
    case P::Trap1:
    case P::Trap2:
    case P::Trap3:
        return s.trap(int(part) - int(P::Trap1) + 1).has_value();
    case P::Error:
        return s.lastError().has_value();
    case P::None:
        return true;
    default:
        return s.text(part).has_value();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    Host host;
    zek::SessionEngine engine(host, 100);
    engine.start(zek::GroupAction::Connect);
    for (int group = 0; !rest.empty(); ++group) {
        const std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
        if (!whole(engine.state(), engine.onLine(rest.substr(0, end))))
            std::abort();
        rest.remove_prefix(std::min(end + 1, rest.size()));
        engine.RunSequenceStep(group % 3 == 0 ? zek::StepCause::Tick : zek::StepCause::Line);
        if (engine.idle() && group % 5 == 0)
            engine.start(group % 2 ? zek::GroupAction::SetLogger : zek::GroupAction::SetSnmp);
        if (engine.step() < 0 || engine.step() > 44 || host.sends > 4 * (group + 2))
            std::abort();
    }
    return 0;
}
