// Any bytes as a file given to zekctl apply (a search or an audit CSV): no crash, rows in
// file order, every row's change planned into commands, and the cells written again as
// search and audit write them read back to the same rows.
#include "core/text/csv.h"
#include "core/text/encodings.h"
#include "ctl/ctl_formats.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <tuple>

namespace {

auto fields(const zek::cli::ApplyRow& r) {
    const zek::cli::NetworkChange& n = r.change;
    const zek::cli::SessionChange& s = r.session;
    return std::tie(r.mac, r.serial, n.ip, n.netmask, n.gateway, n.dhcp, n.name, n.port, n.mode, s.logger,
                    s.dst, s.dstStart, s.dstStop, s.traps, s.snmpLocation);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zek::cli::ApplyFile file = zek::cli::parseApplyCsv(text);
    if (!file.error.empty() && !file.error.starts_with("line ") && file.error != "no header line")
        std::abort();
    for (std::size_t i = 1; i < file.rows.size(); ++i)
        if (file.rows[i].line <= file.rows[i - 1].line)
            std::abort();
    const zek::cli::ModuleSettings none;
    for (const zek::cli::ApplyRow& row : file.rows) {
        (void)zek::cli::networkChangeProblem(row.change, nullptr);
        (void)zek::cli::sessionChangeProblem(row.session, nullptr);
        (void)zek::cli::sessionCommands(row.session, none);
    }
    if (!file.error.empty() || !zek::isValidUtf8(text))
        return 0;
    const zek::CsvText csv = zek::readCsv(text);
    std::string written = zek::csvRow(csv.header.cells);
    for (const zek::CsvRecord& record : csv.rows) {
        std::vector<std::string> values;
        for (const std::string& cell : record.cells)
            values.push_back(zek::csvValue(cell));
        written += zek::csvRow(values);
    }
    const zek::cli::ApplyFile again = zek::cli::parseApplyCsv(written);
    if (!again.error.empty() || again.rows.size() != file.rows.size())
        std::abort();
    for (std::size_t i = 0; i < file.rows.size(); ++i)
        if (fields(again.rows[i]) != fields(file.rows[i]))
            std::abort();
    return 0;
}
