#include "core/session/module_state.h"

#include "core/clock/clock_texts.h"

namespace zek {

namespace {

std::size_t textSlot(ModulePart part) {
    return part == ModulePart::SnmpLocation ? 4 : std::size_t(part) - std::size_t(ModulePart::ModuleInfo);
}

} // namespace

const std::optional<std::string>& ModuleState::text(ModulePart part) const {
    static const std::optional<std::string> none;
    const bool isText =
        (part >= ModulePart::ModuleInfo && part <= ModulePart::Company) || part == ModulePart::SnmpLocation;
    return isText ? m_texts[textSlot(part)] : none;
}

ModulePart ModuleState::apply(const ParsedReply& reply) {
    if (reply.seen)
        m_seen[std::size_t(*reply.seen)] = true;
    const auto shown = [&](ModulePart part) {
        if (!reply.shown)
            return ModulePart::None;
        m_texts[textSlot(part)] = *reply.shown;
        return part;
    };
    switch (reply.kind) {
    case ReplyKind::ModulTyp:
        return shown(ModulePart::ModuleInfo);
    case ReplyKind::Geraet:
        return shown(ModulePart::DeviceType);
    case ReplyKind::Revision:
        return shown(ModulePart::Revision);
    case ReplyKind::Firma:
        return shown(ModulePart::Company);
    case ReplyKind::SnmpLoc:
        return shown(ModulePart::SnmpLocation);
    case ReplyKind::ModulConfig:
        m_capabilities = reply.word;
        return ModulePart::Capabilities;
    case ReplyKind::LogOn: {
        const LoggerReply logger = loggerReply(reply.number);
        m_loggerActive = logger.active;
        m_loggerInterval = logger.intervalIndex;
        return ModulePart::Logger;
    }
    case ReplyKind::TimeUtc:
    case ReplyKind::ModulTimeUtc:
    case ReplyKind::TimeLocal:
    case ReplyKind::ModulTimeLocal: {
        // The UTC side keeps its last line whatever it says, so a garbled reply to a read is
        // never mistaken for the reading before it; the local side keeps the last it can show.
        const ClockReplyEffect effect = clockReplyEffect(reply.kind, reply.line, false);
        if (effect.zone)
            m_zone = *effect.zone;
        if (reply.kind == ReplyKind::TimeUtc || reply.kind == ReplyKind::ModulTimeUtc) {
            m_utcClock = ClockLine{reply.kind, reply.line};
            return ModulePart::UtcClock;
        }
        if (!effect.localTime)
            return ModulePart::None;
        m_localClock = ClockLine{reply.kind, reply.line};
        return ModulePart::LocalClock;
    }
    case ReplyKind::DstUse:
        m_dstUse = dstUseOn(reply.number);
        return ModulePart::DstUse;
    case ReplyKind::DstStart:
    case ReplyKind::DstStop: {
        const DstRule rule = DstRule::fromReply(reply.values);
        if (!rule.valid())
            return ModulePart::None;
        const bool start = reply.kind == ReplyKind::DstStart;
        m_rules[start ? 0 : 1] = rule;
        return start ? ModulePart::DstStart : ModulePart::DstStop;
    }
    case ReplyKind::TrapIp:
        m_traps[std::size_t(reply.trapRow - 1)] = reply.values;
        return ModulePart(int(ModulePart::Trap1) + reply.trapRow - 1);
    case ReplyKind::Error:
        m_lastError = reply.number;
        return ModulePart::Error;
    case ReplyKind::None:
        break;
    }
    return ModulePart::None;
}

} // namespace zek
