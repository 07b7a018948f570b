#include "ctl/ctl_formats.h"

#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>

namespace zek::cli {

namespace {

std::string modeText(std::int32_t mode) {
    static constexpr std::string_view kModes[] = {"Auto", "10 Mbit/s half duplex", "10 Mbit/s full duplex",
                                                  "100 Mbit/s half duplex", "100 Mbit/s full duplex"};
    if (mode == ETH_MODE_NOT_REPORTED)
        return "---";
    return mode >= 0 && mode < std::int32_t(std::size(kModes)) ? std::string(kModes[mode]) : "???";
}

std::string lineError(int line, std::string_view reason) {
    return "line " + std::to_string(line) + ": " + std::string(reason);
}

} // namespace

std::string searchTable(std::span<const DeviceRecord> modules) {
    std::string out;
    char row[256];
    std::snprintf(row, sizeof row, "%-17s  %-10s  %-15s  %-15s  %-15s  %-4s  %-5s  %-22s  NAME\n", "MAC",
                  "Nr", "IP", "NETMASK", "GATEWAY", "DHCP", "PORT", "MODE");
    out += row;
    for (const DeviceRecord& r : modules) {
        std::snprintf(row, sizeof row, "%-17s  %-10u  %-15s  %-15s  %-15s  %-4s  %-5d  %-22s  ",
                      macText(r.Mac).c_str(), r.SerialNumber, paddedIpText(r.CurrentIp).c_str(),
                      dottedText(r.Netmask).c_str(), dottedText(r.Gateway).c_str(), r.Dhcp ? "on" : "off",
                      int(r.Port), modeText(r.EthMode).c_str());
        out += row + visibleText(networkFieldText(r, "name")) + "\n";
    }
    return out;
}

std::string searchCsv(std::span<const DeviceRecord> modules) {
    std::string out;
    for (std::string_view column : kSearchColumns)
        out += std::string(column == kSearchColumns.front() ? "" : ",") + std::string(column);
    out += "\n";
    for (const DeviceRecord& r : modules) {
        std::vector<std::string> cells;
        for (std::string_view column : kSearchColumns) {
            const std::string text = networkFieldText(r, column);
            cells.push_back(column == "mode" && text == "none" ? "" : text);
        }
        out += csvRow(cells);
    }
    return out;
}

std::string searchJson(std::span<const DeviceRecord> modules) {
    std::string out = "[";
    for (const DeviceRecord& r : modules) {
        out += out.size() > 1 ? ",\n " : "\n ";
        out += "{\"mac\": " + jsonString(macText(r.Mac)) + ", \"serial\": " + std::to_string(r.SerialNumber);
        for (std::string_view key : {"ip", "netmask", "gateway"})
            out += ", \"" + std::string(key) + "\": " + jsonString(networkFieldText(r, key));
        const std::string mode = networkFieldText(r, "mode");
        out += std::string(", \"dhcp\": ") + (r.Dhcp ? "true" : "false") +
               ", \"name\": " + jsonString(networkFieldText(r, "name")) +
               ", \"port\": " + std::to_string(r.Port) + ", \"mode\": " + (mode == "none" ? "null" : mode) +
               "}";
    }
    return out + (modules.empty() ? "]\n" : "\n]\n");
}

ApplyFile parseApplyCsv(std::string_view text) {
    enum class Column { Mac, Serial, Network, Session, Ignored };
    const auto kindOf = [](std::string_view name) -> std::optional<Column> {
        const auto in = [&](const auto& names) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        if (name == "mac")
            return Column::Mac;
        if (name == "serial")
            return Column::Serial;
        if (in(kNetworkKeys))
            return Column::Network;
        if (in(kSessionKeys))
            return Column::Session;
        if (in(kDescriptiveColumns))
            return Column::Ignored;
        return std::nullopt;
    };

    ApplyFile file;
    const CsvText csv = readCsv(text);
    if (file.error = csv.error; !file.error.empty())
        return file;
    if (csv.header.line == 0) {
        file.error = "no header line";
        return file;
    }
    const std::vector<std::string>& header = csv.header.cells;
    std::vector<Column> kinds;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const auto kind = kindOf(header[i]);
        if (!kind)
            file.error = lineError(csv.header.line, "unknown column " + quotedText(header[i]));
        else if (std::find(header.begin(), header.begin() + std::ptrdiff_t(i), header[i]) !=
                 header.begin() + std::ptrdiff_t(i))
            file.error = lineError(csv.header.line, "column " + quotedText(header[i]) + " twice");
        if (!file.error.empty())
            return file;
        kinds.push_back(*kind);
    }
    if (std::find(kinds.begin(), kinds.end(), Column::Mac) == kinds.end()) {
        file.error = lineError(csv.header.line, "no mac column");
        return file;
    }
    std::map<MacAddress, int> macLines;
    for (const CsvRecord& record : csv.rows) {
        const int line = record.line;
        if (record.cells.size() != header.size()) {
            file.error = lineError(line, std::to_string(record.cells.size()) + " cells, the header has " +
                                             std::to_string(header.size()));
            return file;
        }
        ApplyRow row{line, {}, {}, {}, {}};
        for (std::size_t i = 0; i < header.size() && file.error.empty(); ++i) {
            const std::string cell = csvValue(record.cells[i]);
            std::string reason;
            switch (kinds[i]) {
            case Column::Mac:
                if (const auto mac = parseMac(cell))
                    row.mac = *mac;
                else
                    reason = "bad MAC " + quotedText(cell);
                break;
            case Column::Serial:
                if (!cell.empty() && !(row.serial = parseSerial(cell)))
                    reason = "serial is a number 0 to 4294967295, not " + quotedText(cell);
                break;
            case Column::Network:
                if (!cell.empty())
                    reason = setNetworkField(row.change, header[i], cell);
                break;
            case Column::Session:
                if (!cell.empty() && cell != "?")
                    reason = setSessionField(row.session, header[i], cell);
                break;
            case Column::Ignored:
                break;
            }
            if (!reason.empty())
                file.error = lineError(line, reason);
        }
        if (!file.error.empty())
            return file;
        if (const auto [earlier, added] = macLines.emplace(row.mac, line); !added) {
            file.error = lineError(line, "MAC " + macText(row.mac) + " in an earlier row too (line " +
                                             std::to_string(earlier->second) + ")");
            return file;
        }
        file.rows.push_back(std::move(row));
    }
    return file;
}

std::optional<std::uint32_t> parseSerial(std::string_view text) {
    unsigned long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFFull)
        return std::nullopt;
    return std::uint32_t(value);
}

} // namespace zek::cli
