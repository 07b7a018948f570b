// Any bytes as a CSV file: no crash, records in line order, and each cell's value written
// again as a safe cell holds no raw control character and reads back to the same value.
#include "core/text/csv.h"
#include "core/text/encodings.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zek::CsvText csv = zek::readCsv(text);
    if (!csv.error.empty() || csv.header.line == 0)
        return 0;
    std::vector<zek::CsvRecord> records = {csv.header};
    records.insert(records.end(), csv.rows.begin(), csv.rows.end());
    std::string written;
    std::vector<std::vector<std::string>> values;
    for (std::size_t r = 0; r < records.size(); ++r) {
        if (records[r].cells.empty() || (r > 0 && records[r].line <= records[r - 1].line))
            std::abort();
        values.emplace_back();
        for (const std::string& cell : records[r].cells)
            values.back().push_back(zek::csvValue(cell));
        written += zek::csvRow(values.back());
    }
    for (const char c : written)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F)
            std::abort();
    const zek::CsvText again = zek::readCsv(written);
    if (!again.error.empty() || again.rows.size() + 1 != values.size())
        std::abort();
    for (std::size_t r = 0; r < values.size(); ++r) {
        const zek::CsvRecord& record = r == 0 ? again.header : again.rows[r - 1];
        if (record.line != int(r) + 1 || record.cells.size() != values[r].size())
            std::abort();
        for (std::size_t i = 0; i < values[r].size(); ++i)
            if (zek::isValidUtf8(values[r][i]) && zek::csvValue(record.cells[i]) != values[r][i])
                std::abort();
    }
    return 0;
}
