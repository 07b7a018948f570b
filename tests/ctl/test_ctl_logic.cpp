// zekctl's decisions without sockets: what it refuses before sending, what it reads from
// files, and the command bytes a change becomes.
#include "core/scan/device_protocol.h"
#include "ctl/ctl_args.h"
#include "ctl/ctl_formats.h"

#include <gtest/gtest.h>

using namespace zek;
using namespace zek::cli;

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
    const struct {
        const char* key;
        std::string value;
        const char* reason;
    } rows[] = {
        {"name", std::string(33, 'x'), "name longer than 32"},
        {"name", "Z\xE2\x82\xAChler", "name with a character outside Latin-1"},
        {"port", "-1", "port out of range"},
        {"port", "65536", "port out of range"},
        {"mode", "5", "mode is 0 to 4"},
        {"dhcp", "yes", "dhcp is on or off"},
        {"netmask", "255.255.0", "bad netmask"},
        {"colour", "red", "unknown value"},
    };
    for (const auto& row : rows) {
        NetworkChange change;
        EXPECT_NE(setNetworkField(change, row.key, row.value).find(row.reason), std::string::npos) << row.key;
    }
    SessionChange session;
    for (const auto& [key, value] : {std::pair{"logger", "61"},
                                     {"dst-start", "5 0 3 2"},
                                     {"dst-stop", "4 0 3"},
                                     {"trap1", "1.2.3"},
                                     {"snmp-location", "a\rb"}})
        EXPECT_FALSE(setSessionField(session, key, value).empty()) << key;
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
    current.note(ParseReply("!SNMP_LOC Server room"));
    SessionChange change;
    for (const auto& [key, value] : {std::pair{"logger", "5"},
                                     {"dst-start", "4 0 3 2"},
                                     {"trap2", "192.168.1.7"},
                                     {"snmp-location", " Roof "}})
        ASSERT_EQ(setSessionField(change, key, value), "");
    std::vector<std::string> sent;
    for (const SessionCommand& command : sessionCommands(change, current))
        sent.push_back(command.text);
    // The rule already stands and is not sent again.
    EXPECT_EQ(sent,
              (std::vector<std::string>{"!LOG_ON 5\r", "!TRAP_IP2 192.168.1.7\r", "!SNMP_LOC  Roof \r"}));
    ASSERT_EQ(setSessionField(change, "logger", "off"), "");
    EXPECT_EQ(sessionCommands(change, current).front().text, "!LOG_ON 0\r");
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

TEST(CtlFormats, ApplyFileRoundTripsSearchCsv) {
    DeviceRecord a;
    a.Mac = {2, 0x5A, 0x45, 0, 0, 1};
    a.CurrentIp = 0x7F000002;
    a.setName("Room \"7\", east");
    a.EthMode = 3;
    const ApplyFile file = parseApplyCsv(searchCsv(std::span(&a, 1)));
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.rows.size(), 1u);
    EXPECT_EQ(file.rows[0].mac, a.Mac);
    for (const FieldOutcome& o : compareNetwork(file.rows[0].change, a))
        EXPECT_TRUE(o.took()) << o.field;
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
        {"mac,name\n02:5A:45:00:00:01,\"open\n", "line 2: a quote is not closed"},
        {"mac,port\n02:5A:45:00:00:01,70000\n", "line 2: port out of range 0-65535: '70000'"},
        {"mac\n02:5A:45:00:00:01\r\n02 5A 45 00 00 01\n",
         "line 3: MAC 02 5A 45 00 00 01 in an earlier row too"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseApplyCsv(row.text).error, row.error) << row.text;
}

TEST(CtlFormats, FlatJson) {
    const std::vector<std::pair<std::string, std::string>> members = {{"name", "Caf\xC3\xA9 \"A\"\\"},
                                                                      {"trap1", "off"}};
    std::string error;
    EXPECT_EQ(parseFlatJson(jsonObject(members), error), members);
    EXPECT_EQ(parseFlatJson(R"({"port": 10001, "dhcp": false})", error),
              (std::vector<std::pair<std::string, std::string>>{{"port", "10001"}, {"dhcp", "false"}}));
    EXPECT_EQ(parseFlatJson(R"({"a": "\u00e9\u20AC"})", error),
              (std::vector<std::pair<std::string, std::string>>{{"a", "\xC3\xA9\xE2\x82\xAC"}}));
    for (const char* bad : {"[1]", R"({"a": {"b": 1}})", R"({"a": "x")", R"({"a": "x"} 1)", R"({"a" 1})",
                            R"({"a": "\ud800"})", R"({"a": "\x"})"})
        EXPECT_FALSE(parseFlatJson(bad, error)) << bad;
}

TEST(CtlArgs, UsageErrors) {
    const std::vector<CommandInfo> commands = {
        {"set", "zekctl set MODULE [--ip A]", "", 1, {"ip"}, {"no-reboot"}}};
    const struct {
        std::vector<std::string> argv;
        const char* error;
    } rows[] = {
        {{"sett"}, "unknown command 'sett'"},
        {{"set", "M", "--colour", "x"}, "unknown option '--colour' for set"},
        {{"set", "M", "--ip"}, "option '--ip' needs a value"},
        {{"set", "M", "--no-reboot=1"}, "option '--no-reboot' takes no value"},
        {{"set"}, "set takes 1 argument(s): zekctl set MODULE [--ip A]"},
        {{"set", "M", "--ip=1.2.3.4", "--from", "127.0.0.1"}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseArgs(row.argv, commands).error, row.error) << row.argv.front();
}
