// The CSV and JSON files the tools write and read: what a spreadsheet may save, what no
// file may hold raw, and that what is written reads back.
#include "core/text/csv.h"
#include "core/text/encodings.h"
#include "core/text/json.h"

#include <gtest/gtest.h>

using namespace zek;

namespace {

// The records, header first, as "line:cell|cell" joined by " / "; or the error.
std::string shown(const CsvText& csv) {
    std::string out = csv.error;
    for (std::size_t r = 0; csv.error.empty() && r <= csv.rows.size() && csv.header.line > 0; ++r) {
        const CsvRecord& record = r == 0 ? csv.header : csv.rows[r - 1];
        out += (r == 0 ? "" : " / ") + std::to_string(record.line) + ":";
        for (std::size_t i = 0; i < record.cells.size(); ++i)
            out += (i == 0 ? "" : "|") + record.cells[i];
    }
    return out;
}

} // namespace

TEST(Csv, RecordsLinesAndRefusals) {
    const struct {
        std::string text, records;
    } rows[] = {
        {"\xEF\xBB\xBF"
         "a,b\r\n1,\"x,\"\"y\"\"\r\nz\"\r\n\r\n\"\",2",
         "1:a|b / 2:1|x,\"y\"\r\nz / 5:|2"},
        {"a\r\rb\rc\n \n", "1:a / 3:b / 4:c"},
        {"a,\"b\nc\"\n\"d\re\",f\n", "1:a|b\nc / 3:d\re|f"},
        // What the writer makes of values a reader could lose: a blank line, a leading mark.
        {csvRow(std::vector<std::string>{"\xEF\xBB\xBFx"}) + csvRow(std::vector<std::string>{" "}),
         "1:\xEF\xBB\xBFx / 2: "},
        {"a\n\"open,\n\n", "line 2: a quote is not closed"},
        {"a\nb\n\"x\"y\n",
         "line 3: a quote in the middle of cell 1; quote the whole cell and write \"\" for a quote"},
        {"a,b\nx,y\"\n",
         "line 2: a quote in the middle of cell 2; quote the whole cell and write \"\" for a quote"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(shown(readCsv(row.text)), row.records) << row.text;
    // A Latin-1 byte as a module stores it: shown as its escape, read back as its character.
    EXPECT_EQ(csvCell("Z\xE4hler"), "Z\\xe4hler");
    EXPECT_EQ(textToLatin1(csvValue(csvCell("Z\xE4hler"))), "Z\xE4hler");
}

TEST(Json, FleetBackupsAndRefusals) {
    const std::vector<JsonMembers> fleet = {{{"mac", "02 5A 45 00 00 01"}, {"name", "a\x1b\"\\\xC2\x85"}},
                                            {}};
    const std::string written = jsonArray(fleet);
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
    EXPECT_EQ(parseFlatJson("\xEF\xBB\xBF"
                            R"({"n": -1.5e+3, "t": true, "z": null, "s": "\u00e9\u20AC"})",
                            error),
              (JsonMembers{{"n", "-1.5e+3"}, {"t", "true"}, {"z", "null"}, {"s", "\xC3\xA9\xE2\x82\xAC"}}));
    const struct {
        const char* text;
        const char* error;
    } rows[] = {
        {R"([{"a": 1}, {"a": 1, "a": 2}])", "object 2: key 'a' twice (at character 27)"},
        {R"([{"a": 1}, 2])", "object 2: not a JSON object (at character 12)"},
        {R"([{"a": 1} {"b": 2}])", "the array is not closed after object 1 (at character 11)"},
        {R"([] [])", "text after the array (at character 4)"},
        {R"({"a": 1} 1)", "text after the object (at character 10)"},
        // Latin-1 and UTF-8 for one character are one key, as the writer writes them alike.
        {"{\"\xEC\": 1, \"\xC3\xAC\": 2}", "key '\xC3\xAC' twice (at character 17)"},
        {R"({"a": yes})", "the value of 'a' is no string, number, true, false or null (at character 7)"},
        {R"({"a": {"b": 1}})", "the value of 'a' is no string, number, true, false or null (at character 7)"},
        {R"({"a": 01})", "the object is not closed (at character 8)"},
        {R"({"a" 1})", "a member is not \"key\": value (at character 6)"},
        {R"({"a": "\ud800"})",
         "the value of 'a' is no string, number, true, false or null (at character 10)"},
        {R"({"a": "x)", "the value of 'a' is no string, number, true, false or null (at character 9)"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(parseFlatJsonObjects(row.text, error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}
