#include "core/text/fleet_files.h"

#include "core/text/encodings.h"
#include "core/text/value_texts.h"

#include <algorithm>

namespace zek {

namespace {

std::string_view withoutBom(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lineError(int line, const std::string& reason) {
    return "line " + std::to_string(line) + ": " + reason;
}

// The cells of one CSV line: split at commas, a quoted cell with "" for a quote. A module
// list holds no line end inside a cell, so a quote left open is refused.
std::optional<std::vector<std::string>> csvCells(std::string_view line) {
    std::vector<std::string> cells{std::string()};
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    return cells;
}

struct Line {
    int number;
    std::string_view text;
};

std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    int number = 1;
    for (std::size_t at = 0; at < text.size(); ++number) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        lines.push_back({number, text.substr(at, end - at)});
        at = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);
    }
    return lines;
}

// A name read from a cell or a line: a MAC, else an IP address.
std::optional<TargetName> targetName(int line, std::string_view text) {
    TargetName name{line, std::string(text), parseMac(text), std::nullopt};
    if (!name.mac)
        name.ip = parseIpv4(text);
    if (!name.mac && !name.ip)
        return std::nullopt;
    return name;
}

} // namespace

TargetList parseTargetList(std::string_view text) {
    TargetList list;
    std::vector<Line> lines;
    for (const Line& line : linesOf(withoutBom(text)))
        if (const std::string_view t = trimmed(line.text); !t.empty() && !t.starts_with('#'))
            lines.push_back(line);
    if (lines.empty()) {
        list.error = "no module named";
        return list;
    }
    const auto header = csvCells(lines.front().text);
    std::optional<std::size_t> macColumn;
    if (header)
        for (std::size_t i = 0; i < header->size() && !macColumn; ++i)
            if (trimmed((*header)[i]) == "mac")
                macColumn = i;
    for (auto line = lines.begin() + (macColumn ? 1 : 0); line != lines.end(); ++line) {
        std::string cell(trimmed(line->text));
        if (macColumn) {
            const auto cells = csvCells(line->text);
            if (!cells) {
                list.error = lineError(line->number, "a quote is not closed");
                return list;
            }
            if (cells->size() != header->size()) {
                list.error =
                    lineError(line->number, std::to_string(cells->size()) + " cells, the header has " +
                                                std::to_string(header->size()));
                return list;
            }
            cell = trimmed((*cells)[*macColumn]);
            // The ' a spreadsheet-safe cell may start with.
            if (cell.starts_with('\''))
                cell.erase(0, 1);
        }
        auto name = targetName(line->number, cell);
        if (!name || (macColumn && !name->mac)) {
            list.error =
                lineError(line->number, std::string(macColumn ? "bad MAC " : "not a MAC or an IP address: ") +
                                            quotedText(cell));
            return list;
        }
        const auto earlier = std::find_if(list.names.begin(), list.names.end(), [&](const TargetName& n) {
            return name->mac ? n.mac == name->mac : n.ip == name->ip;
        });
        if (earlier != list.names.end()) {
            list.error = lineError(line->number, "module " + quotedText(cell) + " named in line " +
                                                     std::to_string(earlier->line) + " too");
            return list;
        }
        list.names.push_back(std::move(*name));
    }
    if (list.names.empty())
        list.error = lineError(lines.front().number, "a header but no module");
    return list;
}

bool isJsonArray(std::string_view text) {
    text = withoutBom(text);
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '[';
}

std::optional<std::vector<std::string_view>> jsonArrayObjects(std::string_view text, std::string& error) {
    text = withoutBom(text);
    std::size_t at = 0;
    const auto skip = [&] {
        while (at < text.size() && std::string_view(" \t\r\n").find(text[at]) != std::string_view::npos)
            ++at;
        return at < text.size() ? text[at] : '\0';
    };
    const auto fail = [&](const std::string& reason) {
        error = reason + " (at character " + std::to_string(at + 1) + ")";
        return std::nullopt;
    };
    if (skip() != '[')
        return fail("not a JSON array");
    ++at;
    std::vector<std::string_view> objects;
    if (skip() == ']') {
        ++at;
    } else {
        for (;;) {
            if (skip() != '{')
                return fail("member " + std::to_string(objects.size() + 1) + " is not an object");
            // To the brace that closes this one; braces inside strings do not count.
            const std::size_t from = at;
            int depth = 0;
            bool inString = false;
            for (; at < text.size(); ++at) {
                const char c = text[at];
                if (inString && c == '\\')
                    ++at;
                else if (c == '"')
                    inString = !inString;
                else if (!inString && (c == '{' || c == '['))
                    ++depth;
                else if (!inString && (c == '}' || c == ']') && --depth == 0)
                    break;
            }
            if (at >= text.size())
                return fail("member " + std::to_string(objects.size() + 1) + " is not closed");
            objects.push_back(text.substr(from, ++at - from));
            const char next = skip();
            ++at;
            if (next == ']')
                break;
            if (next != ',')
                return fail("a member is not followed by , or ]");
        }
    }
    if (skip() != '\0')
        return fail("text after the array");
    return objects;
}

} // namespace zek
