#include "core/scan/device_protocol.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace zek;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Hexadecimal bytes; "00*30" stands for thirty of them.
Bytes hex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        out.insert(out.end(), word.size() > 3 ? std::stoul(word.substr(3)) : 1,
                   std::uint8_t(std::stoul(word.substr(0, 2), nullptr, 16)));
    return out;
}

// Module 00 0A 1B 2C 3D 4E: DHCP on, 192.168.1.20 port 80, 255.255.255.0, gateway 10.0.0.254,
// name "Lab", serial 256, mode 4.
const Bytes kReply = hex("00 03 00 0A 1B 2C 3D 4E 00 3F 01 C0 A8 01 14 00 50 FF FF FF 00 0A 00 00 FE"
                         " 4C 61 62 00*30 00 00 01 00 04");
const std::string kSoftwareHead = "00 08 00 00 00 00 00 00 ";
const Bytes kSoftware = hex(kSoftwareHead + "00 03 4C 54 44");

Bytes with(Bytes bytes, std::size_t at, std::uint8_t value, std::size_t size = SIZE_MAX) {
    bytes.at(at) = value;
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

DecodedDatagram decode(const Bytes& bytes, std::uint16_t port = DEVICE_UDP_PORT) {
    return decodeDatagram(bytes, port, [](std::string_view key) { return "<" + std::string(key) + ">"; });
}

DecodedDevice device(const Bytes& bytes) {
    const DecodedDatagram result = decode(bytes);
    EXPECT_TRUE(std::holds_alternative<DecodedDevice>(result));
    return std::holds_alternative<DecodedDevice>(result) ? std::get<DecodedDevice>(result) : DecodedDevice{};
}

} // namespace

TEST(DeviceProtocol, DecodesSearchReply) {
    const auto [r, t] = device(kReply);
    EXPECT_EQ(r.CurrentIp, 0xC0A80114u);
    EXPECT_EQ(r.SerialNumber, 256u);
    EXPECT_EQ((std::vector{t.mac, t.dhcp, t.ip, t.port, t.netmask, t.gateway, t.name, t.serial, t.mode}),
              (std::vector<std::string>{"00 0A 1B 2C 3D 4E", "<TXT_TREE_DHCP_ON>", "192.168.001.020", "80",
                                        "255.255.255.0", "10.0.0.254", "Lab", "256", "<TXT_ETH_MODE_4>"}));
    EXPECT_EQ(device(with(kReply, 10, 0)).texts.dhcp, "<TXT_TREE_DHCP_OFF>");
    EXPECT_EQ(paddedIpText(0x0A0000FE), "010.000.000.254");
    EXPECT_EQ(dottedText(0x0A0000FE), "10.0.0.254");
}

TEST(DeviceProtocol, EthernetModeFollowsLengthField) {
    // length field, mode byte, bytes kept, mode, mode text
    const std::tuple<std::uint8_t, std::uint8_t, std::size_t, std::int32_t, const char*> cases[] = {
        {62, 0, 62, 0xFFFF, "---"},
        {62, 4, 63, 0xFFFF, "---"},
        {63, 0, 63, 0, "<TXT_ETH_MODE_0>"},
        {200, 7, 63, 0x107, "???"}};
    for (const auto& [length, mode, size, ethMode, text] : cases) {
        const auto d = device(with(with(kReply, 9, length), 62, mode, size));
        EXPECT_EQ(d.record.EthMode, ethMode) << int(length);
        EXPECT_EQ(d.texts.mode, text) << int(length);
    }
}

TEST(DeviceProtocol, IgnoresBadDatagrams) {
    const auto ignored = [](const Bytes& bytes, std::uint16_t port = DEVICE_UDP_PORT) {
        return std::holds_alternative<std::monostate>(decode(bytes, port));
    };
    using Patch = std::tuple<std::size_t, std::uint8_t, std::size_t>; // offset, new byte, bytes kept
    for (const auto& [at, value, size] :
         {Patch{0, 0, 0}, Patch{0, 0, 1}, Patch{8, 0, 9}, Patch{9, 62, 10}, Patch{9, 62, 61},
          Patch{9, 63, 62}, Patch{9, 61, 63}, Patch{0, 1, 63}, Patch{1, 2, 63}, Patch{1, 4, 63}})
        EXPECT_TRUE(ignored(with(kReply, at, value, size))) << at << " " << int(value) << " " << size;
    EXPECT_TRUE(ignored(with(kSoftware, 0, 1)));
    EXPECT_TRUE(ignored(with(kSoftware, 8, 0, 9)));
    EXPECT_TRUE(ignored(kReply, 8003));
    EXPECT_TRUE(ignored(kSoftware, 8003));
}

TEST(DeviceProtocol, NameIsAtMostThirtyTwoCharacters) {
    Bytes bytes = kReply;
    std::fill(bytes.begin() + 25, bytes.begin() + 58, 'A');
    EXPECT_EQ(device(bytes).texts.name, std::string(32, 'A'));
    DeviceRecord r;
    r.setName(std::string(40, 'B'));
    EXPECT_EQ(r.nameText(), std::string(32, 'B'));
}

TEST(DeviceProtocol, SoftwareTextIsCut) {
    const std::pair<const char*, std::string> cases[] = {
        {"00 03 4C 54 44", "LTD"}, {"00 0A 4C 54 44", "LTD"},
        {"00 02 4C 54 44", "LT"},  {"00 05", ""},
        {"00 03 4C 00 44", "L"},   {"00 C8 78*150", std::string(99, 'x')}};
    for (const auto& [bytes, text] : cases) {
        const auto result = decode(hex(kSoftwareHead + bytes));
        ASSERT_TRUE(std::holds_alternative<SoftwareText>(result)) << text;
        EXPECT_EQ(std::get<SoftwareText>(result).text, text);
    }
}

TEST(DeviceProtocol, EncodesRequests) {
    const auto search = encodeSearch();
    EXPECT_EQ(Bytes(search.begin(), search.end()), hex("00 01 00 00 00 00 00 00 00 0A"));
    const auto reboot = encodeReboot({0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E});
    EXPECT_EQ(Bytes(reboot.begin(), reboot.end()), hex("00 05 00 0A 1B 2C 3D 4E 00 0A"));
    EXPECT_EQ(
        encodeSetValues(device(kReply).record),
        hex("00 04 00 0A 1B 2C 3D 4E 00 3B 01 C0 A8 01 14 00 50 FF FF FF 00 0A 00 00 FE 4C 61 62 00*30 04"));
    EXPECT_EQ(encodeSetValues(device(with(kReply, 62, 7)).record).back(), 0x07);

    // No mode reported, DHCP off, a port beyond 16 bits, stale bytes behind the name.
    DeviceRecord r = device(with(with(kReply, 9, 62), 10, 0, 62)).record;
    r.Port = 0x12345;
    r.Name.fill('N');
    r.setName("Lab");
    EXPECT_EQ(encodeSetValues(r),
              hex("00 04 00 0A 1B 2C 3D 4E 00 3A 00 C0 A8 01 14 23 45 FF FF FF 00 0A 00 00 FE"
                  " 4C 61 62 00 4E*28 00"));
}
