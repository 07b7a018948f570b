#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

// The CSV files the tools write and read back, as spreadsheets save them: cells split at
// commas, a quoted cell with "" for a quote and line ends inside, records ending in CR LF,
// LF or a lone CR, a UTF-8 byte order mark skipped.

struct CsvRecord {
    int line = 0; // the line the record starts on, counted from 1
    std::vector<std::string> cells;
};
struct CsvText {
    CsvRecord header;            // the first record; its line is 0 for a text without any
    std::vector<CsvRecord> rows; // the records after it; blank lines are left out
    std::string error;           // "line 3: a quote is not closed", empty when the text was read
};
// Refuses a quote left open and text beside a quoted part (`"ab"cd`, `a"b`), which
// spreadsheets read in different ways. The cells are as the file has them: csvValue undoes
// what csvCell did.
CsvText readCsv(std::string_view text);

// A value as one safe cell: control characters and bytes that are no UTF-8 made visible
// ("\x1b", a backslash "\\"), a ' before a start a spreadsheet takes for a formula
// ("=", "+", "-", "@") or hides ('), quoted where it holds a comma or a quote.
std::string csvCell(std::string_view value);
// The cells of one record, and its line end.
std::string csvRow(std::span<const std::string> values);
// What csvCell made of a value, undone: the leading ' dropped, the escapes read.
std::string csvValue(std::string_view cell);

} // namespace zek
