#include "ctl/fleet_report.h"

#include "core/clock/dst_rule_words.h"
#include "core/scan/device_protocol.h"
#include "core/text/csv.h"
#include "core/text/encodings.h"
#include "core/text/json.h"
#include "core/text/value_texts.h"
#include "ctl/ctl_formats.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

namespace zek::cli {

namespace {

// A clock further off than this needs a look.
constexpr long kDriftToLookAt = 60;

std::size_t columnIndex(std::string_view column) {
    return std::size_t(std::find(kAuditColumns.begin(), kAuditColumns.end(), column) - kAuditColumns.begin());
}

std::optional<long> number(const std::string& text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int prefixLength(std::uint32_t netmask) {
    int n = 0;
    for (std::uint32_t m = netmask; m & 0x80000000u; m <<= 1)
        ++n;
    return n;
}

} // namespace

const std::string& cell(const AuditRow& row, std::string_view column) {
    return row[columnIndex(column)];
}

AuditRow auditRow(const FleetTarget& target, const ModuleRead* read, const std::string& problem) {
    AuditRow row;
    const auto set = [&](std::string_view column, std::string text) {
        row[columnIndex(column)] = std::move(text);
    };
    const std::string problems =
        target.note.empty() || problem.empty() ? target.note + problem : target.note + "; " + problem;
    // Kept as the module sent it, as every other cell: each format escapes it its own way.
    set("problem", unescapeVisible(problems));
    if (!target.found) {
        const auto mac = parseMac(target.name);
        set(mac ? "mac" : "ip", mac ? macText(*mac) : target.name);
        return row;
    }
    const DeviceRecord& r = *target.found;
    for (std::string_view key : {"mac", "ip", "name", "serial", "port", "dhcp"})
        set(key, networkFieldText(r, key));
    if (const std::string mode = networkFieldText(r, "mode"); mode != "none")
        set("mode", mode);
    if (!read)
        return row;
    const ModuleSettings& s = read->settings;
    // The module's own texts are Latin-1; the report is UTF-8.
    set("module-info", latin1ToUtf8(s.moduleInfo));
    set("device", latin1ToUtf8(s.deviceType));
    set("revision", latin1ToUtf8(s.revision));
    set("company", latin1ToUtf8(s.company));
    set("letters", latin1ToUtf8(s.letters));
    if (read->logger) {
        set("logger", sessionFieldText(s, "logger"));
        if (read->drift) {
            set("clock-utc", latin1ToUtf8(s.clockUtc));
            set("clock-drift", std::to_string(*read->drift));
            set("zone", latin1ToUtf8(s.zone));
        }
        set("dst", sessionFieldText(s, "dst"));
        set("dst-start", dstRuleWords(s.dstStart));
        set("dst-stop", dstRuleWords(s.dstStop));
    }
    if (read->traps)
        for (std::string_view key : {"trap1", "trap2", "trap3", "snmp-location"})
            set(key, sessionFieldText(s, key));
    return row;
}

std::vector<std::string> auditLooks(const std::vector<AuditRow>& rows, std::uint32_t from,
                                    std::uint32_t netmask) {
    std::map<std::pair<std::string, std::string>, int> ruleCounts;
    std::map<std::string, std::vector<std::string>> macsByIp;
    for (const AuditRow& row : rows) {
        if (!cell(row, "dst-start").empty())
            ++ruleCounts[{cell(row, "dst-start"), cell(row, "dst-stop")}];
        if (!cell(row, "ip").empty() && !cell(row, "mac").empty())
            macsByIp[cell(row, "ip")].push_back(cell(row, "mac"));
    }
    // The fleet's rules are the ones most modules keep; the first of equals in search order.
    std::pair<std::string, std::string> common;
    int most = 0;
    for (const AuditRow& row : rows)
        if (const auto rules = std::pair(cell(row, "dst-start"), cell(row, "dst-stop"));
            !rules.first.empty() && ruleCounts[rules] > most)
            most = ruleCounts[common = rules];
    std::vector<std::string> looks;
    for (const AuditRow& row : rows) {
        std::vector<std::string> why;
        if (const auto drift = number(cell(row, "clock-drift")); drift && std::labs(*drift) > kDriftToLookAt)
            why.push_back("clock off by " + std::string(*drift > 0 ? "+" : "") + std::to_string(*drift) +
                          " s");
        if (cell(row, "dst") == "off")
            why.push_back("summer time off");
        if (!cell(row, "dst-start").empty() &&
            std::pair(cell(row, "dst-start"), cell(row, "dst-stop")) != common)
            why.push_back("summer time rules differ from the fleet's (" + common.first + " to " +
                          common.second + ")");
        if (const auto ip = parseIpv4(cell(row, "ip"))) {
            const auto& macs = macsByIp[cell(row, "ip")];
            if (macs.size() > 1 && !cell(row, "mac").empty()) {
                std::string others;
                for (const std::string& mac : macs)
                    if (mac != cell(row, "mac"))
                        others += (others.empty() ? "" : ", ") + mac;
                why.push_back("IP shared with " +
                              (others.empty() ? std::string("a module of the same MAC") : others));
            }
            if (netmask != 0 && (*ip & netmask) != (from & netmask))
                why.push_back("outside the PC's subnet " + dottedText(from & netmask) + "/" +
                              std::to_string(prefixLength(netmask)));
        }
        if (!cell(row, "problem").empty())
            why.push_back(visibleText(cell(row, "problem")));
        std::string text;
        for (const std::string& w : why)
            text += (text.empty() ? "" : "; ") + w;
        looks.push_back(text);
    }
    return looks;
}

std::string auditCsv(const std::vector<AuditRow>& rows) {
    std::string out;
    for (std::string_view column : kAuditColumns)
        out += (out.empty() ? "" : ",") + std::string(column);
    out += "\n";
    for (const AuditRow& row : rows)
        out += csvRow(row);
    return out;
}

std::string auditJson(const std::vector<AuditRow>& rows) {
    std::vector<JsonMembers> objects;
    for (const AuditRow& row : rows) {
        JsonMembers& members = objects.emplace_back();
        for (std::size_t i = 0; i < row.size(); ++i)
            members.emplace_back(kAuditColumns[i], row[i]);
    }
    return jsonArray(objects);
}

std::string auditTable(const std::vector<AuditRow>& rows, const std::vector<std::string>& looks) {
    std::string out;
    char line[256];
    std::snprintf(line, sizeof line, "  %-17s  %-15s  %-20s  %-7s  %-6s  %-11s  %-3s  %s\n", "MAC", "IP",
                  "NAME", "LETTERS", "LOGGER", "CLOCK-DRIFT", "DST", "NEEDS A LOOK");
    out += line;
    int marked = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const AuditRow& row = rows[i];
        // Module text is escaped before it is cut, so that no escape is cut in half.
        std::string name = visibleText(cell(row, "name"));
        if (name.size() > 20)
            name = name.substr(0, 17) + "...";
        marked += !looks[i].empty();
        std::snprintf(line, sizeof line, "%c %-17s  %-15s  %-20s  %-7s  %-6s  %-11s  %-3s  ",
                      looks[i].empty() ? ' ' : '!', cell(row, "mac").c_str(), cell(row, "ip").c_str(),
                      name.c_str(), visibleText(cell(row, "letters")).substr(0, 7).c_str(),
                      cell(row, "logger").c_str(), cell(row, "clock-drift").c_str(),
                      cell(row, "dst").c_str());
        std::string text = line + looks[i];
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + "\n";
    }
    return out + std::to_string(rows.size()) + " modules, " + std::to_string(marked) + " to look at\n";
}

} // namespace zek::cli
