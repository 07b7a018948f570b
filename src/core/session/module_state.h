#pragma once

#include "core/clock/dst_rule.h"
#include "core/session/reply_parser.h"

#include <array>
#include <optional>
#include <string>

namespace zek {

// The part of a module's state that one reply changed: what a face shows anew.
enum class ModulePart {
    None,
    ModuleInfo,
    DeviceType,
    Revision,
    Company,
    Capabilities,
    Logger,
    UtcClock,   // the UTC time and zone
    LocalClock, // the local time
    DstUse,
    DstStart,
    DstStop,
    Trap1,
    Trap2,
    Trap3,
    SnmpLocation,
    Error,
};

// A clock reply, whole: its first word decides how the face cuts it.
struct ClockLine {
    ReplyKind kind = ReplyKind::None;
    std::string line;
};

// Everything a session learns about a module, one reply at a time. `apply` is the only
// place that looks at a reply's kind; the rest is derived. A reply is applied whole or not
// at all, so a module that stops answering leaves each value either known or not.
class ModuleState {
public:
    ModulePart apply(const ParsedReply& reply);
    // A command was sent: its reply counts as seen again only when it comes.
    void awaiting(ReplyKey key) { m_seen[std::size_t(key)] = false; }
    // An error reply stands in for the awaited value: the sequence goes on without it.
    void skip(ReplyKey key) { m_seen[std::size_t(key)] = true; }
    // A new connection: the capability letters belong to the module answering it.
    void newSession() { m_capabilities.reset(); }

    bool seen(ReplyKey key) const { return m_seen[std::size_t(key)]; }

    // "modul_typ" composed, "!GERAET", "!REVISION", "!FIRMA" and "!SNMP_LOC" texts.
    const std::optional<std::string>& text(ModulePart part) const;
    // The capability word of "modul_config" and its letters; none before it came.
    const std::optional<std::string>& capabilityWord() const { return m_capabilities; }
    bool loggerCapable() const { return letters().L; }
    bool trapCapable() const { return letters().T; }

    std::optional<bool> loggerActive() const { return m_loggerActive; }
    // The interval's list index, known only from a reply of an active logger.
    std::optional<int> loggerInterval() const { return m_loggerInterval; }

    const std::optional<ClockLine>& utcClock() const { return m_utcClock; }
    const std::optional<ClockLine>& localClock() const { return m_localClock; }
    // "+10.00": the zone of the last UTC reply that named one.
    const std::optional<std::string>& zone() const { return m_zone; }

    std::optional<bool> dstUse() const { return m_dstUse; }
    // Only a rule whose numbers all stand for list items is taken.
    const std::optional<DstRule>& dstRule(DstRuleRow row) const {
        return m_rules[row == DstRuleRow::Start ? 0 : 1];
    }

    // Row 1 to 3: the receiver's four numbers, and whether it is set (any of them non-zero).
    const std::optional<std::array<int, 4>>& trap(int row) const { return m_traps[std::size_t(row - 1)]; }

    std::optional<int> lastError() const { return m_lastError; }

private:
    Capabilities letters() const { return m_capabilities ? capabilitiesOf(*m_capabilities) : Capabilities{}; }

    std::array<bool, kReplyKeyCount> m_seen{};
    std::array<std::optional<std::string>, 5> m_texts; // ModuleInfo .. Company, SnmpLocation
    std::optional<std::string> m_capabilities;
    std::optional<bool> m_loggerActive;
    std::optional<int> m_loggerInterval;
    std::optional<ClockLine> m_utcClock, m_localClock;
    std::optional<std::string> m_zone;
    std::optional<bool> m_dstUse;
    std::array<std::optional<DstRule>, 2> m_rules;
    std::array<std::optional<std::array<int, 4>>, 3> m_traps;
    std::optional<int> m_lastError;
};

} // namespace zek
