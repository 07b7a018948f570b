#include "core/scan/device_protocol.h"
#include "core/text/fleet_files.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

// Each name as "MAC" or "ip:a.b.c.d" with its line, or the error.
std::string listed(std::string_view text) {
    const TargetList list = parseTargetList(text);
    if (!list.error.empty())
        return list.error;
    std::string out;
    for (const TargetName& n : list.names)
        out += (out.empty() ? "" : " | ") + std::to_string(n.line) + " " +
               (n.mac ? macText(*n.mac) : "ip:" + dottedText(*n.ip));
    return out;
}

TEST(FleetFiles, ModuleListsOfLinesOrCsv) {
    const struct {
        std::string_view text;
        std::string_view names;
    } cases[] = {
        {"02:5a:45:00:00:01\n  127.0.0.3 \r\n\n# the boiler\r00 0A 1B 2C 3D 4E",
         "1 02 5A 45 00 00 01 | 2 ip:127.0.0.3 | 5 00 0A 1B 2C 3D 4E"},
        {"\xEF\xBB\xBFname,mac,ip\n\"Hall, 2\",02 5A 45 00 00 02,127.0.0.9\nx,'02-5A-45-00-00-03,\n",
         "2 02 5A 45 00 00 02 | 3 02 5A 45 00 00 03"},
        {"mac,serial,ip,netmask,gateway,dhcp,name,port,mode\n02 5A 45 00 00 "
         "01,1,127.0.0.2,255.0.0.0,127.0.0.1,off,"
         "\"a \"\"b\"\"\",10001,0\n",
         "2 02 5A 45 00 00 01"},
        {"", "no module named"},
        {"# only a comment\n", "no module named"},
        {"mac\n", "line 1: a header but no module"},
        {"# first the header\n\nmac\n\\\n", "line 4: bad MAC '\\\\'"},
        {"\"mac,\nx\"\n02:5a:45:00:00:01\n", "line 1: not a MAC or an IP address: '\"mac,'"},
        {"127.0.0.2\n127.0.0.02\n", "line 2: module '127.0.0.02' named in line 1 too"},
        {"02:5a:45:00:00:01\n02 5A 45 00 00 01\n", "line 2: module '02 5A 45 00 00 01' named in line 1 too"},
        {"127.0.0.2\nboiler\n", "line 2: not a MAC or an IP address: 'boiler'"},
        {"127.0.0.2,02:5a:45:00:00:01\n",
         "line 1: not a MAC or an IP address: '127.0.0.2,02:5a:45:00:00:01'"},
        {"ip,mac\n127.0.0.2,127.0.0.3\n", "line 2: bad MAC '127.0.0.3'"},
        {"ip,mac\n127.0.0.2\n", "line 2: 1 cells, the header has 2"},
        {"mac,name\n02:5a:45:00:00:01,\"open\n", "line 2: a quote is not closed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listed(c.text), c.names) << testing::PrintToString(std::string(c.text));
}

} // namespace
} // namespace zek
