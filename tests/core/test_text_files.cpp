// The CSV and JSON files the tools write and read: what a spreadsheet may save, what no
// file may hold raw, and that what is written reads back.
#include "core/text/csv.h"
#include "core/text/encodings.h"
#include "core/text/json.h"

#include <gtest/gtest.h>

using namespace zek;

TEST(Csv, RecordsLinesAndRefusals) {
    using Rows = std::vector<std::vector<std::string>>;
    const struct {
        std::string text;
        Rows records; // the header first
        std::vector<int> lines;
        std::string error;
    } rows[] = {
        {"\xEF\xBB\xBF"
         "a,b\r\n1,\"x,\"\"y\"\"\r\nz\"\r\n\r\n\"\",2",
         {{"a", "b"}, {"1", "x,\"y\"\r\nz"}, {"", "2"}},
         {1, 2, 5},
         ""},
        {"a\r\rb\rc", {{"a"}, {"b"}, {"c"}}, {1, 3, 4}, ""},
        {"a,\"b\nc\"\n\"d\re\",f\n", {{"a", "b\nc"}, {"d\re", "f"}}, {1, 3}, ""},
        {"", {}, {}, ""},
        {"a\n\"open,\n\n", {}, {}, "line 2: a quote is not closed"},
        {"a\nb\n\"x\"y\n",
         {},
         {},
         "line 3: a quote in the middle of cell 1; quote the whole cell and write \"\" for a quote"},
        {"a,b\nx,y\"\n",
         {},
         {},
         "line 2: a quote in the middle of cell 2; quote the whole cell and write \"\" for a quote"},
    };
    for (const auto& row : rows) {
        const CsvText csv = readCsv(row.text);
        EXPECT_EQ(csv.error, row.error) << row.text;
        Rows records;
        std::vector<int> lines;
        if (csv.header.line > 0) {
            records.push_back(csv.header.cells);
            lines.push_back(csv.header.line);
        }
        for (const CsvRecord& record : csv.rows) {
            records.push_back(record.cells);
            lines.push_back(record.line);
        }
        if (row.error.empty()) {
            EXPECT_EQ(records, row.records) << row.text;
            EXPECT_EQ(lines, row.lines) << row.text;
        }
    }
}

// Values a module or a user may hold, written as one row and read back.
TEST(Csv, NastyValuesAreWrittenSafelyAndReadBack) {
    const std::vector<std::string> values = {"=cmd|' /C calc'!A0",
                                             "+1",
                                             "-",
                                             "@x",
                                             "'quoted",
                                             "a,b",
                                             "say \"hi\"",
                                             "two\r\nlines\n",
                                             "\x1b]0;t\x07",
                                             "tab\tin",
                                             "del\x7f c1\xC2\x9B",
                                             "back\\slash \\x41",
                                             "Z\xC3\xA4hler",
                                             "",
                                             "\ttab",
                                             " =lead"};
    const std::string written = csvRow(values) + csvRow(std::vector<std::string>{""});
    for (const char c : written)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << written;
    const CsvText csv = readCsv(written);
    ASSERT_EQ(csv.error, "");
    ASSERT_EQ(csv.header.cells.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string& cell = csv.header.cells[i];
        EXPECT_EQ(std::string_view("=+-@\t\r").find(cell.empty() ? 'x' : cell.front()),
                  std::string_view::npos)
            << cell;
        EXPECT_EQ(csvValue(cell), values[i]) << cell;
    }
    ASSERT_EQ(csv.rows.size(), 1u);
    EXPECT_EQ(csv.rows[0].cells, std::vector<std::string>{""});
    // A Latin-1 byte as a module stores it: shown as its escape, read back as its character.
    EXPECT_EQ(csvCell("Z\xE4hler"), "Z\\xe4hler");
    EXPECT_EQ(textToLatin1(csvValue(csvCell("Z\xE4hler"))), "Z\xE4hler");
}

TEST(Json, FleetBackupsAndRefusals) {
    const std::vector<JsonMembers> fleet = {{{"mac", "02 5A 45 00 00 01"}, {"name", "a\x1b\"\\\xC2\x85"}},
                                            {}};
    const std::string written = jsonArray(fleet);
    EXPECT_EQ(written.find('\x1b'), std::string::npos);
    EXPECT_NE(written.find(R"("a\u001b\"\\\u0085")"), std::string::npos) << written;
    std::string error;
    bool isArray = false;
    EXPECT_EQ(parseFlatJsonObjects(written, error, &isArray), fleet);
    EXPECT_TRUE(isArray);
    EXPECT_EQ(parseFlatJsonObjects(jsonObject(fleet[0]), error, &isArray),
              std::vector<JsonMembers>{fleet[0]});
    EXPECT_FALSE(isArray);
    // A byte that is no UTF-8 is written as the Latin-1 character it would be.
    EXPECT_EQ(jsonString("\xE4\xFF"), R"("\u00e4\u00ff")");
    EXPECT_EQ(parseFlatJson(R"({"n": -1.5e+3, "t": true, "z": null})", error),
              (JsonMembers{{"n", "-1.5e+3"}, {"t", "true"}, {"z", "null"}}));
    const struct {
        const char* text;
        const char* error;
    } rows[] = {
        {R"([{"a": 1}, {"a": 1, "a": 2}])", "object 2: key 'a' twice (at character 27)"},
        {R"([{"a": 1}, 2])", "object 2: not a JSON object (at character 12)"},
        {R"([{"a": 1} {"b": 2}])", "the array is not closed after object 1 (at character 11)"},
        {R"([] [])", "text after the array (at character 4)"},
        {R"({"a": yes})", "the value of 'a' is no string, number, true, false or null (at character 7)"},
        {R"({"a": 01})", "the object is not closed (at character 8)"},
        {R"({"a": -})", "the value of 'a' is no string, number, true, false or null (at character 8)"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(parseFlatJsonObjects(row.text, error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}
