#include "ctl/ctl_formats.h"

#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"

#include <algorithm>
#include <cstdio>

namespace zek::cli {

namespace {

std::string modeText(std::int32_t mode) {
    static constexpr std::string_view kModes[] = {"Auto", "10 Mbit/s half duplex", "10 Mbit/s full duplex",
                                                  "100 Mbit/s half duplex", "100 Mbit/s full duplex"};
    if (mode == ETH_MODE_NOT_REPORTED)
        return "---";
    return mode >= 0 && mode < std::int32_t(std::size(kModes)) ? std::string(kModes[mode]) : "???";
}

std::string csvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Cells of one CSV line; empty when a quote is left open.
std::optional<std::vector<std::string>> csvCells(std::string_view line) {
    std::vector<std::string> cells(1);
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

std::string lineError(int line, std::string_view reason) {
    return "line " + std::to_string(line) + ": " + std::string(reason);
}

} // namespace

std::string searchTable(std::span<const DeviceRecord> modules) {
    std::string out;
    char row[256];
    std::snprintf(row, sizeof row, "%-17s  %-10s  %-15s  %-15s  %-15s  %-4s  %-5s  %-22s  %s\n", "MAC", "Nr",
                  "IP", "NETMASK", "GATEWAY", "DHCP", "PORT", "MODE", "NAME");
    out += row;
    for (const DeviceRecord& r : modules) {
        std::snprintf(row, sizeof row, "%-17s  %-10u  %-15s  %-15s  %-15s  %-4s  %-5d  %-22s  %s\n",
                      macText(r.Mac).c_str(), r.SerialNumber, paddedIpText(r.CurrentIp).c_str(),
                      dottedText(r.Netmask).c_str(), dottedText(r.Gateway).c_str(), r.Dhcp ? "on" : "off",
                      int(r.Port), modeText(r.EthMode).c_str(), networkFieldText(r, "name").c_str());
        out += row;
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
    std::vector<std::string> header;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        const auto cells = csvCells(line);
        if (!cells) {
            file.error = lineError(lineNumber, "a quote is not closed");
            return file;
        }
        if (header.empty()) {
            for (const std::string& column : *cells) {
                if (std::find(kSearchColumns.begin(), kSearchColumns.end(), column) == kSearchColumns.end())
                    file.error = lineError(lineNumber, "unknown column '" + column + "'");
                else if (std::find(header.begin(), header.end(), column) != header.end())
                    file.error = lineError(lineNumber, "column '" + column + "' twice");
                if (!file.error.empty())
                    return file;
                header.push_back(column);
            }
            if (std::find(header.begin(), header.end(), "mac") == header.end()) {
                file.error = lineError(lineNumber, "no mac column");
                return file;
            }
            continue;
        }
        if (cells->size() != header.size()) {
            file.error = lineError(lineNumber, std::to_string(cells->size()) + " cells, the header has " +
                                                   std::to_string(header.size()));
            return file;
        }
        ApplyRow row{lineNumber, {}, {}};
        for (std::size_t i = 0; i < header.size() && file.error.empty(); ++i) {
            const std::string& cell = (*cells)[i];
            if (header[i] == "mac") {
                if (const auto mac = parseMac(cell))
                    row.mac = *mac;
                else
                    file.error = lineError(lineNumber, "bad MAC '" + cell + "'");
            } else if (header[i] != "serial" && !cell.empty()) {
                if (const std::string reason = setNetworkField(row.change, header[i], cell); !reason.empty())
                    file.error = lineError(lineNumber, reason);
            }
        }
        const bool twice = std::any_of(file.rows.begin(), file.rows.end(),
                                       [&](const ApplyRow& r) { return r.mac == row.mac; });
        if (file.error.empty() && twice)
            file.error = lineError(lineNumber, "MAC " + macText(row.mac) + " in an earlier row too");
        if (!file.error.empty())
            return file;
        file.rows.push_back(std::move(row));
    }
    if (header.empty())
        file.error = "no header line";
    return file;
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
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
        if (!take('{'))
            return fail(error, "not a JSON object");
        if (!take('}')) {
            do {
                auto key = string();
                if (!key || !take(':'))
                    return fail(error, "a member is not \"key\": value");
                auto value = peek() == '"' ? string() : word();
                if (!value)
                    return fail(error, "the value of \"" + *key + "\" is no string, number or boolean");
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
