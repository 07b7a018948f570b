#include "core/session/reply_parser.h"

#include "core/text/c_scan.h"

#include <algorithm>

namespace zek {

namespace {

// A line never holds a word longer than the 256-character buffers the words are read into.
static_assert(kReplyLineMax < 256);

constexpr std::size_t kTimeLocalSeenAfter = 12;
constexpr int kErrorForClock = 24;

// "%d.%d.%d.%d" over a word.
std::optional<std::array<int, 4>> dottedInts(std::string_view word) {
    std::array<int, 4> values{};
    ScanCursor scan(word);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto v = i > 0 && !scan.literal('.') ? std::nullopt : scan.scanfDecimal();
        if (!v)
            return std::nullopt;
        values[i] = *v;
    }
    return values;
}

// "<keyword> %d %d %d %d" over the whole line: the keyword must open the line.
std::optional<std::array<int, 4>> ruleInts(std::string_view line, std::string_view keyword) {
    if (!line.starts_with(keyword))
        return std::nullopt;
    ScanCursor scan(line, keyword.size());
    std::array<int, 4> values{};
    for (int& v : values) {
        const auto n = scan.scanfDecimal();
        if (!n)
            return std::nullopt;
        v = *n;
    }
    return values;
}

// The text from a fixed position of the line, when the line is longer than that position.
std::optional<std::string> fromPosition(std::string_view line, std::size_t position) {
    if (line.size() <= position)
        return std::nullopt;
    return std::string(line.substr(position));
}

std::optional<std::string> moduleInfo(std::string_view line) {
    if (line.size() <= 11)
        return std::nullopt;
    const std::size_t sw = line.find("SW");
    if (sw == std::string_view::npos)
        return std::nullopt;
    // A line ending right after "SW" leaves an empty first part instead of a read past its end.
    std::string info(line.substr(std::min(sw + 4, line.size())));
    info += ' ';
    const std::size_t date = line.find("date");
    if (date == std::string_view::npos)
        return std::nullopt;
    info += line.substr(date, 13);
    if (info.size() > kModuleInfoMax)
        info.resize(kModuleInfoMax);
    return info;
}

} // namespace

ParsedReply ParseReply(std::string_view line) {
    ParsedReply reply;
    if (line.empty() || line.size() > kReplyLineMax)
        return reply;
    ScanCursor words(line);
    const auto first = words.scanfWord();
    const ReplyRow* row = first ? findReply(*first) : nullptr;
    if (!row)
        return reply;
    const std::string_view second = words.scanfWord().value_or(std::string_view());

    // The values a reply needs; without them the line has no effect at all.
    switch (row->kind) {
    case ReplyKind::LogOn:
    case ReplyKind::DstUse:
    case ReplyKind::Error: {
        const auto n = ScanCursor(second).scanfDecimal();
        if (!n)
            return reply;
        reply.number = *n;
        break;
    }
    case ReplyKind::TrapIp:
    case ReplyKind::DstStart:
    case ReplyKind::DstStop: {
        const auto v = row->kind == ReplyKind::TrapIp ? dottedInts(second) : ruleInts(line, row->keyword);
        if (!v)
            return reply;
        reply.values = *v;
        break;
    }
    default:
        break;
    }

    reply.kind = row->kind;
    reply.seen = row->flag;
    switch (row->kind) {
    case ReplyKind::TimeLocal:
        if (line.size() <= kTimeLocalSeenAfter)
            reply.seen.reset();
        [[fallthrough]];
    case ReplyKind::TimeUtc:
    case ReplyKind::ModulTimeUtc:
    case ReplyKind::ModulTimeLocal:
        reply.line = std::string(line);
        break;
    case ReplyKind::ModulConfig:
        reply.word = std::string(second);
        break;
    case ReplyKind::TrapIp:
        reply.trapRow = int(*row->flag) - int(ReplyKey::TrapIp1) + 1;
        break;
    case ReplyKind::ModulTyp:
        reply.shown = moduleInfo(line);
        break;
    case ReplyKind::Geraet:
    case ReplyKind::Revision:
    case ReplyKind::Firma:
    case ReplyKind::SnmpLoc:
        // The text starts after the keyword and one blank, counted from the line's start.
        reply.shown = fromPosition(line, row->keyword.size() + 1);
        break;
    case ReplyKind::Error:
        // Code 24 stands for the clock reply a clock query waits for.
        if (reply.number == kErrorForClock)
            reply.seen = ReplyKey::TimeLocal;
        break;
    default:
        break;
    }
    return reply;
}

Capabilities capabilitiesOf(std::string_view word) {
    auto has = [word](char c) { return word.find(c) != std::string_view::npos; };
    return {has('T'), has('L'), has('S'), has('H'), has('X'), has('D')};
}

LoggerReply loggerReply(int n) {
    if (n <= 0)
        return {};
    return {true, n - 1};
}

bool trapReceiverSet(const std::array<int, 4>& octets) {
    return std::any_of(octets.begin(), octets.end(), [](int octet) { return octet != 0; });
}

} // namespace zek
