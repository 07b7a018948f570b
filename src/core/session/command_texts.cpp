#include "core/session/command_texts.h"

#include <algorithm>

namespace zek {

namespace {

std::string setText(std::string_view keyword, std::string_view arguments) {
    std::string text = "!";
    text.append(keyword).append(" ").append(arguments).append("\r");
    return text;
}

} // namespace

std::string queryText(std::string_view keyword) {
    std::string text = "?";
    text.append(keyword).append("\r");
    return text;
}

SessionCommand startMessageQuery() {
    return {queryText("STARTMSG"), ReplyKey::ModulTyp};
}
SessionCommand deviceTypeQuery() {
    return {queryText("GERAET"), ReplyKey::Geraet};
}
SessionCommand revisionQuery() {
    return {queryText("REVISION"), ReplyKey::Revision};
}
SessionCommand companyQuery() {
    return {queryText("FIRMA"), ReplyKey::Firma};
}

SessionCommand loggerCommand(bool active, int intervalIndex) {
    // Without a selection the index is -1, which sends 0 like an inactive logger.
    const int interval = active ? std::max(intervalIndex + 1, 0) : 0;
    return {setText("LOG_ON", std::to_string(interval)), ReplyKey::LogOn};
}

SessionCommand dstUseCommand(bool on) {
    return {setText("DST_USE", on ? "1" : "0"), ReplyKey::DstUse};
}

SessionCommand dstRuleCommand(DstRuleRow row, const DstRuleIndexes& indexes) {
    return {DstRule::fromIndexes(indexes).commandText(row),
            row == DstRuleRow::Start ? ReplyKey::DstStart : ReplyKey::DstStop};
}

ReplyKey trapReply(int row) {
    return row >= 1 && row <= kTrapRowCount ? ReplyKey(int(ReplyKey::TrapIp1) + row - 1) : ReplyKey::TrapIp1;
}

SessionCommand trapCommand(int row, const std::array<std::string, 4>& fields) {
    if (row < 1 || row > kTrapRowCount)
        return {std::string(), trapReply(row)};
    std::string arguments;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            arguments += '.';
        arguments += argumentText(fields[i], kTrapFieldRoom);
    }
    return {setText("TRAP_IP" + std::to_string(row), arguments), trapReply(row)};
}

SessionCommand snmpLocationCommand(std::string_view location) {
    return {setText("SNMP_LOC", argumentText(location, kSnmpLocationRoom)), ReplyKey::SnmpLoc};
}

std::string argumentText(std::string_view text, std::size_t room) {
    text = text.substr(0, text.find('\0')).substr(0, room);
    std::string argument;
    for (const char c : text)
        if (c != '\r' && c != '\n')
            argument += c;
    return argument;
}

} // namespace zek
