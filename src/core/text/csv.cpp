#include "core/text/csv.h"

#include "core/text/encodings.h"

namespace zek {

namespace {

// Starts a spreadsheet reads as a formula, or (') as a hint it hides. visibleText leaves no
// tab or CR at the start, but a ' before them would be as harmless.
constexpr std::string_view kFormulaStarts = "=+-@'\t\r";

std::string lineError(int line, const std::string& reason) {
    return "line " + std::to_string(line) + ": " + reason;
}

} // namespace

CsvText readCsv(std::string_view text) {
    CsvText out;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<CsvRecord> records;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        CsvRecord record{line, {std::string()}};
        bool quoted = false, closed = false;
        while (i < text.size()) {
            const char c = text[i++];
            std::string& cell = record.cells.back();
            const bool crlf = c == '\r' && i < text.size() && text[i] == '\n';
            if (quoted && c == '"' && i < text.size() && text[i] == '"') {
                cell += '"';
                ++i;
            } else if (quoted && c == '"') {
                quoted = false;
                closed = true;
            } else if (quoted) {
                cell += c;
                line += c == '\n' || (c == '\r' && !crlf);
            } else if (c == ',') {
                record.cells.emplace_back();
                closed = false;
            } else if (c == '\r' || c == '\n') {
                i += crlf;
                ++line;
                break;
            } else if (closed || (c == '"' && !cell.empty())) {
                out.error =
                    lineError(line, "a quote in the middle of cell " + std::to_string(record.cells.size()) +
                                        "; quote the whole cell and write \"\" for a quote");
                return out;
            } else if (c == '"') {
                quoted = true;
            } else {
                cell += c;
            }
        }
        if (quoted) {
            out.error = lineError(record.line, "a quote is not closed");
            return out;
        }
        const bool blank = record.cells.size() == 1 && !closed &&
                           record.cells[0].find_first_not_of(" \t") == std::string::npos;
        if (!blank)
            records.push_back(std::move(record));
    }
    if (!records.empty()) {
        out.header = std::move(records.front());
        out.rows.assign(std::make_move_iterator(records.begin() + 1), std::make_move_iterator(records.end()));
    }
    return out;
}

std::string csvCell(std::string_view value) {
    std::string text = visibleText(value);
    if (!text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    // A byte order mark at the start of a file is skipped, so one that starts a value is quoted.
    if (text.find_first_of(",\"") == std::string::npos && !text.starts_with("\xEF\xBB\xBF"))
        return text;
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string csvRow(std::span<const std::string> values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i == 0 ? "" : ",") + csvCell(values[i]);
    // A blank line is no record: a row of one blank cell is quoted.
    if (values.size() == 1 && out.find_first_not_of(' ') == std::string::npos)
        out = "\"" + out + "\"";
    return out + "\n";
}

std::string csvValue(std::string_view cell) {
    if (!cell.empty() && cell.front() == '\'')
        cell.remove_prefix(1);
    return unescapeVisible(cell);
}

} // namespace zek
