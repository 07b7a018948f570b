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

// A spreadsheet takes a cell that starts with one of these for a formula (or, with ', for
// text whose first character it hides): such a cell gets a ' before it, which apply drops.
constexpr std::string_view kFormulaStarts = "=+-@'\t\r";

// What csvCell made of a value, undone.
std::string csvValue(std::string_view cell) {
    if (!cell.empty() && cell.front() == '\'')
        cell.remove_prefix(1);
    return unescapeVisible(cell);
}

struct CsvRecord {
    int line = 0; // where the record starts
    std::vector<std::string> cells;
};

// The records of a CSV text: cells split at commas, quoted cells with "" for a quote and
// line ends inside; a record ends at CR LF, LF or a lone CR. Refuses a quote left open or
// text next to a quoted part (`"ab"cd`), which spreadsheets read in different ways.
std::string csvRecords(std::string_view text, std::vector<CsvRecord>& records) {
    int line = 1;
    std::size_t i = 0;
    const auto lineEnd = [&](char c) {
        if (c == '\r' && i < text.size() && text[i] == '\n')
            ++i;
        ++line;
    };
    while (i < text.size()) {
        CsvRecord record{line, {std::string()}};
        bool quoted = false, closed = false;
        while (i < text.size()) {
            const char c = text[i++];
            std::string& cell = record.cells.back();
            if (quoted && c == '"' && i < text.size() && text[i] == '"') {
                cell += '"';
                ++i;
            } else if (quoted && c == '"') {
                quoted = false;
                closed = true;
            } else if (quoted) {
                cell += c;
                line += c == '\n' || (c == '\r' && (i == text.size() || text[i] != '\n'));
            } else if (c == ',') {
                record.cells.emplace_back();
                closed = false;
            } else if (c == '\r' || c == '\n') {
                lineEnd(c);
                break;
            } else if (closed || (c == '"' && !cell.empty())) {
                return "line " + std::to_string(line) + ": a quote in the middle of cell " +
                       std::to_string(record.cells.size()) +
                       "; quote the whole cell and write \"\" for a quote";
            } else if (c == '"') {
                quoted = true;
            } else {
                cell += c;
            }
        }
        if (quoted)
            return "line " + std::to_string(record.line) + ": a quote is not closed";
        const bool blank = record.cells.size() == 1 && !closed &&
                           record.cells[0].find_first_not_of(" \t") == std::string::npos;
        if (!blank)
            records.push_back(std::move(record));
    }
    return "";
}

std::string_view withoutBom(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

std::string lineError(int line, std::string_view reason) {
    return "line " + std::to_string(line) + ": " + std::string(reason);
}

} // namespace

std::string csvCell(const std::string& value) {
    std::string text = visibleText(value);
    if (!text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

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
        for (std::string_view column : kSearchColumns) {
            const std::string text = networkFieldText(r, column);
            out += (column == kSearchColumns.front() ? "" : ",") +
                   csvCell(column == "mode" && text == "none" ? "" : text);
        }
        out += "\n";
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
    ApplyFile file;
    std::vector<CsvRecord> records;
    if (file.error = csvRecords(withoutBom(text), records); !file.error.empty())
        return file;
    if (records.empty()) {
        file.error = "no header line";
        return file;
    }
    std::vector<std::string> header;
    const int headerLine = records.front().line;
    const auto listed = [](const auto& columns, const std::string& column) {
        return std::find(columns.begin(), columns.end(), column) != columns.end();
    };
    for (const std::string& column : records.front().cells) {
        if (!listed(kSearchColumns, column) && !listed(kSessionKeys, column) &&
            !listed(kDescriptiveColumns, column))
            file.error = lineError(headerLine, "unknown column " + quotedText(column));
        else if (std::find(header.begin(), header.end(), column) != header.end())
            file.error = lineError(headerLine, "column '" + column + "' twice");
        if (!file.error.empty())
            return file;
        header.push_back(column);
    }
    if (std::find(header.begin(), header.end(), "mac") == header.end()) {
        file.error = lineError(headerLine, "no mac column");
        return file;
    }
    std::map<MacAddress, int> macLines;
    for (auto record = records.begin() + 1; record != records.end() && file.error.empty(); ++record) {
        const int lineNumber = record->line;
        if (record->cells.size() != header.size()) {
            file.error = lineError(lineNumber, std::to_string(record->cells.size()) +
                                                   " cells, the header has " + std::to_string(header.size()));
            return file;
        }
        ApplyRow row{lineNumber, {}, {}, {}, {}};
        for (std::size_t i = 0; i < header.size() && file.error.empty(); ++i) {
            const std::string cell = csvValue(record->cells[i]);
            if (header[i] == "mac") {
                if (const auto mac = parseMac(cell))
                    row.mac = *mac;
                else
                    file.error = lineError(lineNumber, "bad MAC " + quotedText(cell));
            } else if (header[i] == "serial" && !cell.empty()) {
                row.serial = parseSerial(cell);
                if (!row.serial)
                    file.error =
                        lineError(lineNumber, "serial is a number 0 to 4294967295, not " + quotedText(cell));
            } else if (listed(kSessionKeys, header[i]) && !cell.empty()) {
                if (const std::string reason = setSessionField(row.session, header[i], cell); !reason.empty())
                    file.error = lineError(lineNumber, reason);
            } else if (listed(kNetworkKeys, header[i]) && !cell.empty()) {
                if (const std::string reason = setNetworkField(row.change, header[i], cell); !reason.empty())
                    file.error = lineError(lineNumber, reason);
            }
        }
        if (!file.error.empty())
            return file;
        if (const auto [earlier, added] = macLines.emplace(row.mac, lineNumber); !added) {
            file.error = lineError(lineNumber, "MAC " + macText(row.mac) + " in an earlier row too (line " +
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

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F || (c == 0xC2 && next >= 0x80 && next <= 0x9F)) {
            // C0, DEL and the C1 controls (U+0080-U+009F, C2 80-C2 9F in UTF-8).
            if (c == 0xC2) {
                c = next;
                ++i;
            }
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string jsonObject(std::span<const std::pair<std::string, std::string>> members) {
    std::string out = "{";
    for (const auto& [key, value] : members)
        out += (out.size() > 1 ? ",\n  " : "\n  ") + jsonString(key) + ": " + jsonString(value);
    return out + "\n}\n";
}

namespace {

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    std::optional<std::vector<std::pair<std::string, std::string>>> object(std::string& error) {
        std::vector<std::pair<std::string, std::string>> members;
        std::set<std::string> keys;
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_at = 3;
        if (!take('{'))
            return fail(error, "not a JSON object");
        if (!take('}')) {
            do {
                auto key = string();
                if (!key || !take(':'))
                    return fail(error, "a member is not \"key\": value");
                auto value = peek() == '"' ? string() : word();
                if (!value)
                    return fail(error,
                                "the value of " + quotedText(*key) + " is no string, number or boolean");
                if (!keys.insert(*key).second)
                    return fail(error, "key " + quotedText(*key) + " twice");
                members.emplace_back(std::move(*key), std::move(*value));
            } while (take(','));
            if (!take('}'))
                return fail(error, "the object is not closed");
        }
        if (skip() != m_text.size())
            return fail(error, "text after the object");
        return members;
    }

private:
    std::nullopt_t fail(std::string& error, std::string reason) {
        error = reason + " (at character " + std::to_string(m_at + 1) + ")";
        return std::nullopt;
    }
    std::size_t skip() {
        while (m_at < m_text.size() &&
               std::string_view(" \t\r\n").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
        return m_at;
    }
    char peek() { return skip() < m_text.size() ? m_text[m_at] : '\0'; }
    bool take(char c) {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }
    // Numbers, true, false and null, as their text.
    std::optional<std::string> word() {
        const std::size_t from = skip();
        while (m_at < m_text.size() &&
               std::string_view("+-.eE0123456789abcdefghijklmnopqrstuvwxyz").find(m_text[m_at]) !=
                   std::string_view::npos)
            ++m_at;
        if (m_at == from)
            return std::nullopt;
        return std::string(m_text.substr(from, m_at - from));
    }
    // A string, UTF-8 as the file has it, with \u escapes of the Basic Multilingual Plane.
    std::optional<std::string> string() {
        if (!take('"'))
            return std::nullopt;
        std::string out;
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            const char c = m_text[m_at++];
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = m_at < m_text.size() ? m_text[m_at++] : '\0';
            if (e == 'u') {
                const long code = m_at + 4 <= m_text.size() ? hex4(m_text.substr(m_at, 4)) : -1;
                // A surrogate stands for nothing alone, and no module text could hold its pair.
                if (code < 0 || (code >= 0xD800 && code <= 0xDFFF))
                    return std::nullopt;
                m_at += 4;
                appendUtf8(out, char32_t(code));
                continue;
            }
            const std::size_t k = std::string_view("\"\\/bfnrt").find(e);
            if (e == '\0' || k == std::string_view::npos)
                return std::nullopt;
            out += "\"\\/\b\f\n\r\t"[k];
        }
        if (!take('"'))
            return std::nullopt;
        return out;
    }
    static long hex4(std::string_view digits) {
        long value = 0;
        for (char d : digits) {
            const auto at = std::string_view("0123456789abcdef").find(char(d | 0x20));
            if (at == std::string_view::npos)
                return -1;
            value = value * 16 + long(at);
        }
        return value;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

std::optional<std::vector<std::pair<std::string, std::string>>> parseFlatJson(std::string_view text,
                                                                              std::string& error) {
    return JsonReader(text).object(error);
}

} // namespace zek::cli
