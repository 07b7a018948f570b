#include "core/session/reply_parser.h"

#include <cctype>
#include <climits>

namespace zek {

namespace {

constexpr std::size_t kWordMax = 255; // the words are read into 256-character buffers

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Reads the next word as "%s" does, advancing `pos`.
std::string_view nextWord(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && !isBlank(text[pos]))
        ++pos;
    return text.substr(start, std::min(pos - start, kWordMax));
}

// "%d" at `pos`: blanks skipped, optional sign, at least one digit. Saturates instead of
// overflowing.
std::optional<int> scanInt(std::string_view text, std::size_t& pos) {
    std::size_t p = pos;
    while (p < text.size() && isBlank(text[p]))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        negative = text[p++] == '-';
    const std::size_t digits = p;
    long long value = 0;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
        value = std::min<long long>(value * 10 + (text[p] - '0'), 1LL + INT_MAX);
        ++p;
    }
    if (p == digits)
        return std::nullopt;
    pos = p;
    value = negative ? -value : value;
    return int(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

std::optional<int> leadingInt(std::string_view word) {
    std::size_t pos = 0;
    return scanInt(word, pos);
}

// "%d.%d.%d.%d" over a word.
std::optional<std::array<int, 4>> dottedInts(std::string_view word) {
    std::array<int, 4> values{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            if (pos >= word.size() || word[pos] != '.')
                return std::nullopt;
            ++pos;
        }
        const auto v = scanInt(word, pos);
        if (!v)
            return std::nullopt;
        values[i] = *v;
    }
    return values;
}

// "<keyword> %d %d %d %d" over the whole line: the keyword must open the line.
std::optional<std::array<int, 4>> ruleInts(std::string_view line, std::string_view keyword) {
    if (line.substr(0, keyword.size()) != keyword)
        return std::nullopt;
    std::size_t pos = keyword.size();
    std::array<int, 4> values{};
    for (int& v : values) {
        const auto n = scanInt(line, pos);
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
    std::size_t pos = 0;
    const std::string_view first = nextWord(line, pos);
    if (first.empty())
        return reply;
    const std::string_view second = nextWord(line, pos);

    auto clockLine = [&](ReplyKind kind) {
        reply.kind = kind;
        reply.line = std::string(line);
    };
    auto shownFrom = [&](ReplyKind kind, std::size_t position) {
        reply.kind = kind;
        reply.shown = fromPosition(line, position);
    };
    auto numbered = [&](ReplyKind kind) {
        if (const auto n = leadingInt(second)) {
            reply.kind = kind;
            reply.number = *n;
        }
    };
    auto trap = [&](int row) {
        if (const auto v = dottedInts(second)) {
            reply.kind = ReplyKind::TrapIp;
            reply.trapRow = row;
            reply.values = *v;
        }
    };
    auto rule = [&](ReplyKind kind, std::string_view keyword) {
        if (const auto v = ruleInts(line, keyword)) {
            reply.kind = kind;
            reply.values = *v;
        }
    };

    if (first == "!TIME_UTC")
        clockLine(ReplyKind::TimeUtc);
    else if (first == "!TIME_LOCAL")
        clockLine(ReplyKind::TimeLocal);
    else if (first == "modul_time_utc")
        clockLine(ReplyKind::ModulTimeUtc);
    else if (first == "modul_time_local")
        clockLine(ReplyKind::ModulTimeLocal);
    else if (first == "modul_config") {
        reply.kind = ReplyKind::ModulConfig;
        reply.word = std::string(second);
    } else if (first == "!LOG_ON")
        numbered(ReplyKind::LogOn);
    else if (first == "!TRAP_IP3")
        trap(3);
    else if (first == "!TRAP_IP2")
        trap(2);
    else if (first == "!TRAP_IP1")
        trap(1);
    else if (first == "modul_typ") {
        reply.kind = ReplyKind::ModulTyp;
        reply.shown = moduleInfo(line);
    } else if (first == "!DST_USE")
        numbered(ReplyKind::DstUse);
    else if (first == "!DST_START")
        rule(ReplyKind::DstStart, "!DST_START");
    else if (first == "!DST_STOP")
        rule(ReplyKind::DstStop, "!DST_STOP");
    else if (first == "!GERAET")
        shownFrom(ReplyKind::Geraet, 8);
    else if (first == "!REVISION")
        shownFrom(ReplyKind::Revision, 10);
    else if (first == "!FIRMA")
        shownFrom(ReplyKind::Firma, 7);
    else if (first == "!SNMP_LOC")
        shownFrom(ReplyKind::SnmpLoc, 10);
    else if (first == "!ERROR")
        numbered(ReplyKind::Error);
    return reply;
}

Capabilities capabilitiesOf(std::string_view word) {
    auto has = [word](char c) { return word.find(c) != std::string_view::npos; };
    return {has('T'), has('L'), has('S'), has('H'), has('X'), has('D')};
}

} // namespace zek
