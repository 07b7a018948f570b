// zekctl's decisions without sockets: what it refuses before sending, what it reads from
// files, and the command bytes a change becomes.
#include "core/clock/dst_rule_words.h"
#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"
#include "ctl/ctl_args.h"
#include "ctl/ctl_formats.h"
#include "ctl/fleet_report.h"

#include <gtest/gtest.h>

using namespace zek;
using namespace zek::cli;

namespace {

// A control character (C0 but the line end, DEL, C1) raw in UTF-8 output.
bool rawControl(std::string_view out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        const auto next = i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) : 0;
        if ((c < 0x20 && c != '\n') || c == 0x7F || (c == 0xC2 && next >= 0x80 && next < 0xA0))
            return true;
    }
    return false;
}

} // namespace

TEST(CtlValues, AddressesAndMacs) {
    EXPECT_EQ(parseMac("00 0A 1B 2C 3D 4E"), (MacAddress{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E}));
    EXPECT_EQ(parseMac("00:0a:1b:2c:3d:4e"), parseMac("00-0A-1B-2C-3D-4E"));
    for (const char* bad : {"00 0A 1B 2C 3D", "00:0A 1B:2C:3D:4E", "00:0A:1B:2C:3D:4G", "000A1B2C3D4E"})
        EXPECT_FALSE(parseMac(bad)) << bad;
    EXPECT_EQ(parseIpv4("192.168.001.020"), 0xC0A80114u);
    for (const char* bad :
         {"1.2.3", "1.2.3.4.5", "1.2.3.256", "1..3.4", "1.2.3.4 ", "-1.2.3.4", "1.2.3.0004"})
        EXPECT_FALSE(parseIpv4(bad)) << bad;
}

TEST(CtlValues, RefusedBeforeSending) {
    const std::string control = "name with a control character";
    const struct {
        const char* key;
        std::string value;
        std::string reason;
    } rows[] = {
        {"name", std::string(33, 'x'), "name longer than 32"},
        {"name", "Z\xE2\x82\xAChler", "name with a character outside Latin-1"},
        {"name", "a\x1b]0;owned\x07", control},
        {"name", "tab\there", control},
        {"name", "del\x7f", control},
        {"name", "c1\xC2\x9B", control},
        {"name", std::string("nul\0", 4), control},
        {"port", "-1", "port out of range"},
        {"port", "65536", "port out of range"},
        {"mode", "5", "mode is 0 to 4"},
        {"dhcp", "yes", "dhcp is on or off"},
        {"netmask", "255.255.0", "bad netmask"},
        {"netmask", "255.0.255.0", "netmask 255.0.255.0 is not ones followed by zeros"},
        {"netmask", "0.0.0.0", "is not ones followed by zeros"},
        {"ip", "0.0.0.0", "IP address 0.0.0.0 is an address of no host"},
        {"ip", "255.255.255.255", "the broadcast address"},
        {"ip", "224.0.0.1", "a multicast address"},
        {"ip", "240.0.0.1", "a reserved address"},
        {"colour", "red", "unknown value"},
        {"name", std::string(10 << 20, '\x1b'), "name longer than 32 characters: '\\x1b\\x1b"},
    };
    for (const auto& row : rows) {
        NetworkChange change;
        std::string error = setNetworkField(change, row.key, row.value);
        if (error.empty())
            error = networkChangeProblem(change, nullptr);
        // Hostile input comes back escaped and cut: a short line, no control character.
        EXPECT_NE(error.find(row.reason), std::string::npos) << row.key << ": " << error;
        EXPECT_LT(error.size(), 300u);
        EXPECT_FALSE(rawControl(error)) << error;
    }
    SessionChange session;
    for (const auto& [key, value] : {std::pair{"logger", "61"},
                                     {"dst-start", "5 0 3 2"},
                                     {"dst-stop", "4 0 3"},
                                     {"trap1", "1.2.3"},
                                     {"snmp-location", "a\rb"},
                                     {"snmp-location", "a\x1b[2Jb"},
                                     {"snmp-location", "\xC2\x85"}}) {
        std::string error = setSessionField(session, key, value);
        EXPECT_FALSE(error.empty() && sessionChangeProblem(session, nullptr).empty()) << key;
    }
}

TEST(CtlValues, WhatWouldChangeIsJudged) {
    DeviceRecord simulated, real;
    simulated.CurrentIp = 0x7F000002;
    simulated.EthMode = 3;
    real.CurrentIp = 0xC0000205;
    real.setName("Hall\x1b");
    real.EthMode = ETH_MODE_UNKNOWN_FLAG + 200;
    NetworkChange change;
    ASSERT_EQ(setNetworkField(change, "ip", "127.0.0.50"), "");
    // A module on this PC's loopback is a simulated one and may move within it; a real one may not.
    EXPECT_EQ(networkChangeProblem(change, &simulated), "");
    EXPECT_NE(networkChangeProblem(change, &real).find("a loopback address"), std::string::npos);
    // What a module reports may be written back unchanged, as a file from search does.
    NetworkChange same;
    ASSERT_EQ(setNetworkField(same, "name", "Hall\x1b"), "");
    ASSERT_EQ(setNetworkField(same, "mode", "200"), "");
    EXPECT_EQ(networkChangeProblem(same, &real), "");
    EXPECT_NE(networkChangeProblem(same, &simulated), "");
    EXPECT_EQ(connectProblem(0x7F000002, 0x7F000001), "");
    EXPECT_NE(connectProblem(0x7F000002, 0xC0000201), "");
    EXPECT_NE(connectProblem(0, 0x7F000001), "");
    const MacAddress a{2, 0, 0, 0, 0, 1}, b{2, 0, 0, 0, 0, 2}, c{2, 0, 0, 0, 0, 3};
    const struct {
        std::vector<PlannedAddress> planned;
        std::vector<std::string> clashes;
    } rows[] = {
        {{{a, 9, 2, true}, {b, 9, 3, true}, {c, 4, -1, false}},
         {"IP 0.0.0.9 for 02 00 00 00 00 01 (line 2) and 02 00 00 00 00 02 (line 3)"}},
        {{{a, 4, 0, true}, {c, 4, -1, false}},
         {"IP 0.0.0.4 for 02 00 00 00 00 01 (asked) and 02 00 00 00 00 03 (keeps it)"}},
        {{{a, 4, 2, false}, {c, 4, -1, false}, {b, 5, 3, true}}, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(addressClashes(row.planned), row.clashes);
}

TEST(CtlValues, TextsAreUtf8OutsideAndLatin1OnTheModule) {
    NetworkChange change;
    std::string umlauts;
    for (int i = 0; i < 32; ++i)
        umlauts += "\xC3\xA4";
    ASSERT_EQ(setNetworkField(change, "name", umlauts), ""); // 32 characters in 64 bytes
    EXPECT_EQ(change.name, std::string(32, '\xE4'));
    DeviceRecord record;
    record.setName("Z\xE4hler");
    EXPECT_EQ(networkFieldText(record, "name"), "Z\xC3\xA4hler");
    SessionChange session;
    ASSERT_EQ(setSessionField(session, "snmp-location", "K\xC3\xBChlraum"), "");
    EXPECT_EQ(session.snmpLocation, "K\xFChlraum");
}

TEST(CtlValues, ChangeBecomesTheWindowsCommands) {
    ModuleSettings current;
    current.loggerRead = current.dstRead = true;
    current.logger = 15;
    current.dstStart = {4, 0, 3, 2};
    current.traps = {0u, 0u, 0u};
    current.snmpLocation = "Server room";
    SessionChange change;
    for (const auto& [key, value] : {std::pair{"logger", "5"},
                                     {"dst-start", "4 0 3 2"},
                                     {"trap2", "192.168.1.7"},
                                     {"snmp-location", " Roof "}})
        ASSERT_EQ(setSessionField(change, key, value), "");
    std::vector<std::string> sent;
    for (const PlannedWrite& write : sessionCommands(change, current))
        sent.push_back(write.command.text);
    // The rule already stands and is not sent again.
    EXPECT_EQ(sent,
              (std::vector<std::string>{"!LOG_ON 5\r", "!TRAP_IP2 192.168.1.7\r", "!SNMP_LOC  Roof \r"}));
    ASSERT_EQ(setSessionField(change, "logger", "off"), "");
    EXPECT_EQ(sessionCommands(change, current).front().command.text, "!LOG_ON 0\r");
}

TEST(CtlValues, WhatTookIsJudgedOnTheDecodedReply) {
    DeviceRecord found;
    found.CurrentIp = found.Ip = 0x7F000002;
    found.Port = 10001;
    found.EthMode = 2;
    NetworkChange change;
    ASSERT_EQ(setNetworkField(change, "ip", "127.0.0.50"), "");
    ASSERT_EQ(setNetworkField(change, "name", "Boiler"), "");
    std::string error;
    const auto sent = changedRecord(found, change, error);
    ASSERT_TRUE(sent);
    // The module's answer after the reboot, through the tool's own decoder.
    std::vector<std::uint8_t> reply = encodeSetValues(*sent);
    reply[1] = CMD_SEARCH_REPLY;
    reply.insert(reply.begin() + 58, {0, 0, 0, 1});
    reply[9] = 63;
    const auto decoded =
        std::get<DecodedDevice>(decodeDatagram(reply, DEVICE_UDP_PORT, [](std::string_view k) {
            return std::string(k);
        })).record;
    for (const FieldOutcome& o : compareNetwork(change, decoded))
        EXPECT_TRUE(o.took()) << o.field << " " << o.wanted << " " << o.reported;
    EXPECT_FALSE(compareNetwork(change, found)[0].took());
    found.EthMode = ETH_MODE_NOT_REPORTED;
    ASSERT_EQ(setNetworkField(change, "mode", "1"), "");
    EXPECT_FALSE(changedRecord(found, change, error));
}

TEST(CtlFormats, SearchOutputIsSafeAndReadsBack) {
    // Names a module may report: terminal commands, spreadsheet formulas, line ends, C1.
    const std::string names[] = {"\x1b]0;owned\x07\x1b[2J",
                                 "=cmd|' /C calc'!A0",
                                 "+1+1",
                                 "@SUM(A1)",
                                 "-2+3",
                                 "'quoted",
                                 "two\nlines\r",
                                 "back\\slash \\x41",
                                 "Room \"7\", east",
                                 "\x9b\x7f\xe4",
                                 "\ttab"};
    std::vector<DeviceRecord> modules;
    for (const std::string& name : names) {
        modules.emplace_back();
        modules.back().Mac = {2, 0x5A, 0x45, 0, 0, std::uint8_t(modules.size())};
        modules.back().setName(name);
        modules.back().EthMode = ETH_MODE_UNKNOWN_FLAG + 200;
    }
    for (const std::string& out : {searchTable(modules), searchCsv(modules), searchJson(modules)}) {
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'),
                  std::ptrdiff_t(modules.size()) + 1 + (out[0] == '['));
        EXPECT_FALSE(rawControl(out)) << out;
    }
    const std::string csv = searchCsv(modules);
    for (const char* formula : {",=", ",+", ",@", ",-", "\n=", "\"="})
        EXPECT_EQ(csv.find(formula), std::string::npos) << formula;
    const ApplyFile file = parseApplyCsv(csv);
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.rows.size(), modules.size());
    for (std::size_t i = 0; i < modules.size(); ++i) {
        EXPECT_EQ(file.rows[i].change.name, modules[i].nameText());
        for (const FieldOutcome& o : compareNetwork(file.rows[i].change, modules[i]))
            EXPECT_TRUE(o.took()) << o.field << " " << names[i];
        EXPECT_EQ(networkChangeProblem(file.rows[i].change, &modules[i]), "") << names[i];
    }
    EXPECT_NE(searchJson(modules).find(R"("name": "\u009b\u007f)"
                                       "\xC3\xA4\""),
              std::string::npos);
    EXPECT_EQ(jsonString("\x7f\xC2\x80\xC2\x9F\xC2\xA0"), R"("\u007f\u0080\u009f)"
                                                          "\xC2\xA0\"");
}

TEST(CtlFormats, ApplyFileRefusals) {
    const struct {
        const char* text;
        const char* error;
    } rows[] = {
        {"mac,colour\n", "line 1: unknown column 'colour'"},
        {"ip,name\n", "line 1: no mac column"},
        {"mac,ip\n\n02:5A:45:00:00:01,127.0.0.9\n02:5A:45:00:00:0X,\n",
         "line 4: bad MAC '02:5A:45:00:00:0X'"},
        {"mac,ip\n02:5A:45:00:00:01\n", "line 2: 1 cells, the header has 2"},
        {"mac,port\n02:5A:45:00:00:01,70000\n", "line 2: port out of range 0-65535: '70000'"},
        {"mac\n02:5A:45:00:00:01\r\n02 5A 45 00 00 01\n",
         "line 3: MAC 02 5A 45 00 00 01 in an earlier row too (line 2)"},
        {"mac,port\r\r02:5A:45:00:00:01,70000\r", "line 3: port out of range 0-65535: '70000'"},
        {"mac,serial\n02:5A:45:00:00:01,12a\n", "line 2: serial is a number 0 to 4294967295, not '12a'"},
        {"\xEF\xBB\xBFmac,serial\n02:5A:45:00:00:01,4294967295\n", ""},
        {"mac,logger\n02:5A:45:00:00:01,61\n", "line 2: logger is off or 1 to 60, not '61'"},
        {"mac,problem,dst-stop\n02:5A:45:00:00:01,x,last Sun Oct 3\n",
         "line 2: dst-stop is a rule such as \"last Sunday March 02:00\" or its numbers \"4 0 3 2\", not "
         "'last Sun Oct 3'"},
        {"mac,trap1,zone,trap1\n", "line 1: column 'trap1' twice"},
        {"mac,clock-local\n", "line 1: unknown column 'clock-local'"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseApplyCsv(row.text).error, row.error) << row.text;
}

// An audit file, written cell by cell in its columns, applies to no change at all: every
// value reads back to the module's own, the descriptive columns whatever they hold.
TEST(CtlFormats, AuditFileReadsBackToTheModules) {
    const std::vector<std::string> columns = {
        "mac",    "ip",        "name",     "serial",  "port",   "mode",      "dhcp",          "module-info",
        "device", "revision",  "company",  "letters", "logger", "clock-utc", "clock-drift",   "zone",
        "dst",    "dst-start", "dst-stop", "trap1",   "trap2",  "trap3",     "snmp-location", "problem"};
    ModuleSettings full;
    full.loggerRead = full.dstRead = full.dst = true;
    full.logger = 15;
    full.dstStart = {4, 0, 3, 2};
    full.dstStop = {0, 6, 11, 23};
    full.traps = {0u, 0xC0A80107u, 0x7F000001u};
    full.snmpLocation = "=1+2, \"Raum\"\r\n\xE4\x1b";
    std::string csv = csvRow(columns);
    std::vector<DeviceRecord> modules(2);
    for (std::size_t m = 0; m < modules.size(); ++m) {
        DeviceRecord& r = modules[m];
        r.Mac = {2, 0x5A, 0x45, 0, 0, std::uint8_t(m + 1)};
        r.CurrentIp = r.Ip = 0x7F000002 + std::uint32_t(m);
        r.Port = 10001;
        r.EthMode = m == 0 ? 2 : ETH_MODE_NOT_REPORTED;
        r.setName(m == 0 ? "-Kessel, \"Nord\"\xE4\x9b" : "@x");
        std::vector<std::string> row;
        for (const std::string& key : columns) {
            const std::string network = key == "mode" && m == 1 ? "" : networkFieldText(r, key);
            const bool session =
                std::find(kSessionKeys.begin(), kSessionKeys.end(), key) != kSessionKeys.end();
            if (key.starts_with("dst-"))
                row.push_back(m == 1 ? "" : dstRuleWords(key == "dst-start" ? full.dstStart : full.dstStop));
            else if (session)
                row.push_back(m == 1 ? (key == "logger" ? "?" : "") : sessionFieldText(full, key));
            else if (!network.empty() || key == "mode")
                row.push_back(network);
            else
                row.push_back(key == "clock-drift" ? "-61"
                              : key == "zone"      ? "+1.00"
                                                   : "=HYPERLINK(\"x\"),\r\n+\x07");
        }
        csv += csvRow(row);
    }
    EXPECT_FALSE(rawControl(csv)) << csv;
    const ApplyFile file = parseApplyCsv(csv);
    ASSERT_EQ(file.error, "") << csv;
    ASSERT_EQ(file.rows.size(), 2u);
    for (std::size_t m = 0; m < modules.size(); ++m) {
        for (const FieldOutcome& o : compareNetwork(file.rows[m].change, modules[m]))
            EXPECT_TRUE(o.took()) << o.field << ": " << o.wanted << " / " << o.reported;
        EXPECT_EQ(sessionCommands(file.rows[m].session, full).size(), 0u) << m;
    }
    EXPECT_EQ(file.rows[0].session.snmpLocation, full.snmpLocation);
    EXPECT_EQ(file.rows[0].session.dstStop, full.dstStop);
    EXPECT_FALSE(file.rows[1].session.touchesLogger() || file.rows[1].session.touchesSnmp());
}

TEST(CtlArgs, UsageErrors) {
    const std::vector<CommandInfo> commands = {
        {"set", "zekctl set MODULE [--ip A]", "", 1, {"ip"}, {"no-reboot"}}};
    const struct {
        std::vector<std::string> argv;
        std::string error;
    } rows[] = {
        {{"sett"}, "unknown command 'sett'"},
        {{"set", "M", "--colour", "x"}, "unknown option '--colour' for set"},
        {{"set", "M", "--ip"}, "option '--ip' needs a value"},
        {{"set", "M", "--no-reboot=1"}, "option '--no-reboot' takes no value"},
        {{"set"}, "set takes 1 argument(s): zekctl set MODULE [--ip A]"},
        {{"set", "M", "--ip=1.2.3.4", "--from", "127.0.0.1"}, ""},
        {{"set", "M", "--ip=1.2.3.4", "--ip", "1.2.3.5"}, "option '--ip' given twice"},
        {{"\x1b]0;" + std::string(1000, 'x')},
         "unknown command '\\x1b]0;" + std::string(36, 'x') + "'... (1004 bytes)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseArgs(row.argv, commands).error, row.error) << row.argv.front();
}

TEST(FleetReport, WhatNeedsALook) {
    // mac, ip, clock-drift, dst, dst-start, dst-stop, problem of each module.
    const std::vector<std::array<std::string, 7>> modules = {
        {"02 5A 45 00 00 01", "127.0.0.2", "61", "on", "last Sunday March 02:00", "last Sunday October 03:00",
         ""},
        {"02 5A 45 00 00 02", "127.0.0.3", "-60", "on", "last Sunday March 02:00",
         "last Sunday October 03:00", ""},
        {"02 5A 45 00 00 03", "127.0.0.3", "", "off", "first Sunday October 02:00",
         "first Sunday April 03:00", ""},
        {"02 5A 45 00 00 04", "10.0.0.4", "", "", "", "", ""},
        {"02 5A 45 00 00 05", "", "", "", "", "", "no answer to the search within 500 ms"},
        {"02 5A 45 00 00 06", "127.0.0.7", "", "", "", "", "module answered \"\x1b[2J\" to ?GERAET"},
    };
    const std::vector<std::string> expected = {
        "clock off by +61 s",
        "IP shared with 02 5A 45 00 00 03",
        "summer time off; summer time rules differ from the fleet's (last Sunday March 02:00 to last Sunday "
        "October 03:00); IP shared with 02 5A 45 00 00 02",
        "outside the PC's subnet 127.0.0.0/8",
        "no answer to the search within 500 ms",
        "module answered \"\\x1b[2J\" to ?GERAET",
    };
    std::vector<AuditRow> rows;
    for (const auto& m : modules) {
        AuditRow row;
        const std::string_view columns[] = {"mac",       "ip",       "clock-drift", "dst",
                                            "dst-start", "dst-stop", "problem"};
        for (std::size_t i = 0; i < m.size(); ++i)
            row[std::size_t(std::find(kAuditColumns.begin(), kAuditColumns.end(), columns[i]) -
                            kAuditColumns.begin())] = m[i];
        rows.push_back(row);
    }
    EXPECT_EQ(auditLooks(rows, 0x7F000001, 0xFF000000), expected);
    const std::string table = auditTable(rows, expected);
    EXPECT_FALSE(rawControl(table + auditCsv(rows) + auditJson(rows)));
    EXPECT_NE(auditJson(rows).find("\"problem\": \"module answered \\\"\\u001b[2J\\\" to ?GERAET\""),
              std::string::npos);
    EXPECT_TRUE(table.ends_with("6 modules, 6 to look at\n"));
}
