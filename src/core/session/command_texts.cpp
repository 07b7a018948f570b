#include "core/session/command_texts.h"

#include <algorithm>

namespace zek {

namespace {

constexpr std::array<std::string_view, kReplyKeyCount> kReplyKeywords = {
    "modul_typ",  "!GERAET",   "!REVISION", "!FIRMA",    "!LOG_ON",   "!TIME_LOCAL", "!DST_USE",
    "!DST_START", "!DST_STOP", "!TRAP_IP1", "!TRAP_IP2", "!TRAP_IP3", "!SNMP_LOC",
};

// The clock's Read asks for the UTC time; the line the tool waits for is the local one.
constexpr ReadButton kReadButtons[] = {
    {5090, "LOG_ON", ReplyKey::LogOn},     {5089, "TIME_UTC", ReplyKey::TimeLocal},
    {5140, "DST_USE", ReplyKey::DstUse},   {5139, "DST_START", ReplyKey::DstStart},
    {5138, "DST_STOP", ReplyKey::DstStop}, {5086, "TRAP_IP1", ReplyKey::TrapIp1},
    {5088, "TRAP_IP2", ReplyKey::TrapIp2}, {5087, "TRAP_IP3", ReplyKey::TrapIp3},
    {5202, "SNMP_LOC", ReplyKey::SnmpLoc},
};

std::string setText(std::string_view keyword, std::string_view arguments) {
    std::string text = "!";
    text.append(keyword).append(" ").append(arguments).append("\r");
    return text;
}

} // namespace

std::string_view replyKeyword(ReplyKey key) {
    return kReplyKeywords.at(std::size_t(key));
}

std::optional<ReplyKey> findReplyKey(std::string_view keyword) {
    for (std::size_t i = 0; i < kReplyKeywords.size(); ++i)
        if (kReplyKeywords[i] == keyword)
            return ReplyKey(i);
    return std::nullopt;
}

std::string queryText(std::string_view keyword) {
    std::string text = "?";
    text.append(keyword).append("\r");
    return text;
}

std::span<const ReadButton> readButtons() {
    return kReadButtons;
}

const ReadButton* findReadButton(int id) {
    const auto* found = std::find_if(std::begin(kReadButtons), std::end(kReadButtons),
                                     [id](const ReadButton& button) { return button.id == id; });
    return found == std::end(kReadButtons) ? nullptr : found;
}

SessionCommand readCommand(const ReadButton& button) {
    return {queryText(button.keyword), button.answeredBy};
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

SessionCommand dstRuleCommand(DstRuleRow row, const DstRuleIndices& indices) {
    const std::string arguments = std::to_string(indices.week) + " " +
                                  std::to_string((indices.weekday + 1) % 7) + " " +
                                  std::to_string(indices.month + 1) + " " + std::to_string(indices.hour);
    if (row == DstRuleRow::Start)
        return {setText("DST_START", arguments), ReplyKey::DstStart};
    return {setText("DST_STOP", arguments), ReplyKey::DstStop};
}

ReplyKey trapReply(int row) {
    switch (row) {
    case 2:
        return ReplyKey::TrapIp2;
    case 3:
        return ReplyKey::TrapIp3;
    default:
        return ReplyKey::TrapIp1;
    }
}

SessionCommand trapCommand(int row, const std::array<std::string, 4>& fields) {
    if (row < 1 || row > kTrapRows)
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
