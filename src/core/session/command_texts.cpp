#include "core/session/command_texts.h"

#include "core/app/control_ids.h"

#include <algorithm>

namespace zek {

namespace {

// The clock's Read asks for the UTC time; the line the tool waits for is the local one.
constexpr ReadButton kReadButtons[] = {
    {ctl::LoggerRead, "LOG_ON", ReplyKey::LogOn},
    {ctl::ClockRead, "TIME_UTC", ReplyKey::TimeLocal},
    {ctl::DstUseRead, "DST_USE", ReplyKey::DstUse},
    {ctl::kDstStartRow.readButton, "DST_START", ReplyKey::DstStart},
    {ctl::kDstStopRow.readButton, "DST_STOP", ReplyKey::DstStop},
    {ctl::kTrapRows[0].readButton, "TRAP_IP1", ReplyKey::TrapIp1},
    {ctl::kTrapRows[1].readButton, "TRAP_IP2", ReplyKey::TrapIp2},
    {ctl::kTrapRows[2].readButton, "TRAP_IP3", ReplyKey::TrapIp3},
    {ctl::SnmpLocationRead, "SNMP_LOC", ReplyKey::SnmpLoc},
};

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
