#include "core/text/fleet_files.h"

#include "core/text/csv.h"
#include "core/text/encodings.h"
#include "core/text/value_texts.h"

#include <algorithm>

namespace zek {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lineError(int line, const std::string& reason) {
    return "line " + std::to_string(line) + ": " + reason;
}

struct Line {
    int number;
    std::string_view text;
};

// The lines that name something: neither blank nor a comment.
std::vector<Line> namingLines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<Line> lines;
    int number = 1;
    for (std::size_t at = 0; at < text.size(); ++number) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        if (const std::string_view line = trimmed(text.substr(at, end - at));
            !line.empty() && !line.starts_with('#'))
            lines.push_back({number, line});
        at = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);
    }
    return lines;
}

// Adds a name unless the list has it already; the refusal otherwise.
std::string add(TargetList& list, TargetName name) {
    const auto earlier = std::find_if(list.names.begin(), list.names.end(), [&](const TargetName& n) {
        return name.mac ? n.mac == name.mac : n.ip == name.ip;
    });
    if (earlier != list.names.end())
        return lineError(name.line, "module " + quotedText(name.text) + " named in line " +
                                        std::to_string(earlier->line) + " too");
    list.names.push_back(std::move(name));
    return "";
}

} // namespace

namespace {

TargetList readTargets(std::string_view text) {
    TargetList list;
    const std::vector<Line> lines = namingLines(text);
    if (lines.empty()) {
        list.error = "no module named";
        return list;
    }
    const std::vector<std::string> first = readCsv(lines.front().text).header.cells;
    const auto mac =
        std::find_if(first.begin(), first.end(), [](const std::string& c) { return trimmed(c) == "mac"; });
    if (mac == first.end()) {
        for (const Line& line : lines) {
            TargetName name{line.number, std::string(line.text), parseMac(line.text), std::nullopt};
            if (!name.mac && !(name.ip = parseIpv4(line.text)))
                list.error = lineError(line.number, "not a MAC or an IP address: " + quotedText(line.text));
            else
                list.error = add(list, std::move(name));
            if (!list.error.empty())
                return list;
        }
        return list;
    }
    // The whole text as a CSV from the header on: comment and blank lines before it are
    // not records of the file.
    const std::size_t headerAt = std::size_t(lines.front().text.data() - text.data());
    const CsvText csv = readCsv(text.substr(headerAt));
    if (!csv.error.empty()) {
        list.error = csv.error;
        return list;
    }
    const auto& header = csv.header.cells;
    const std::size_t column = std::size_t(
        std::find_if(header.begin(), header.end(), [](const std::string& c) { return trimmed(c) == "mac"; }) -
        header.begin());
    const int lineOffset = lines.front().number - 1;
    if (column == header.size()) {
        list.error = lineError(lines.front().number, "no mac column");
        return list;
    }
    for (const CsvRecord& row : csv.rows) {
        const int line = row.line + lineOffset;
        if (row.cells.size() != header.size()) {
            list.error = lineError(line, std::to_string(row.cells.size()) + " cells, the header has " +
                                             std::to_string(header.size()));
            return list;
        }
        const std::string cell(trimmed(csvValue(row.cells[column])));
        TargetName name{line, cell, parseMac(cell), std::nullopt};
        list.error = name.mac ? add(list, std::move(name)) : lineError(line, "bad MAC " + quotedText(cell));
        if (!list.error.empty())
            return list;
    }
    if (list.names.empty())
        list.error = lineError(lines.front().number, "a header but no module");
    return list;
}

} // namespace

TargetList parseTargetList(std::string_view text) {
    TargetList list = readTargets(text);
    // A refused file names nothing: no half of it is worked on.
    if (!list.error.empty())
        list.names.clear();
    return list;
}

} // namespace zek
