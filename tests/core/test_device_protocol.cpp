#include "core/scan/device_protocol.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace zek;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes hex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    for (unsigned byte = 0; in >> std::hex >> byte;) {
        out.push_back(static_cast<std::uint8_t>(byte));
    }
    return out;
}

std::string repeat(int count, const std::string& byte) {
    std::string out = " ";
    while (count-- > 0) {
        out += byte + " ";
    }
    return out;
}

// Module 00 0A 1B 2C 3D 4E: DHCP on, 192.168.1.20 port 80, 255.255.255.0, gateway 10.0.0.254,
// name "Lab", serial 256, mode 4.
const Bytes kReply =
    hex("00 03 00 0A 1B 2C 3D 4E 00 3F 01 C0 A8 01 14 00 50 FF FF FF 00 0A 00 00 FE 4C 61 62" +
        repeat(30, "00") + "00 00 01 00 04");
const Bytes kSoftware = hex("00 08 00 00 00 00 00 00 00 03 4C 54 44");

Bytes with(Bytes bytes, std::size_t at, std::uint8_t value, std::size_t size = SIZE_MAX) {
    bytes.at(at) = value;
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

DecodedDatagram decode(const Bytes& bytes, std::uint16_t port = DEVICE_UDP_PORT) {
    return decodeDatagram(bytes, port, [](std::string_view key) { return "<" + std::string(key) + ">"; });
}

DecodedDevice device(const Bytes& bytes) {
    auto result = decode(bytes);
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
    struct Case {
        std::uint8_t length, mode;
        std::size_t size;
        std::int32_t ethMode;
        std::string text;
    };
    for (const Case& c : {Case{62, 0, 62, 0xFFFF, "---"}, Case{62, 4, 63, 0xFFFF, "---"},
                          Case{63, 0, 63, 0, "<TXT_ETH_MODE_0>"}, Case{200, 7, 63, 0x107, "???"}}) {
        const auto d = device(with(with(kReply, 9, c.length), 62, c.mode, c.size));
        EXPECT_EQ(d.record.EthMode, c.ethMode) << int(c.length);
        EXPECT_EQ(d.texts.mode, c.text) << int(c.length);
    }
}

TEST(DeviceProtocol, IgnoresBadDatagrams) {
    using Patch = std::tuple<std::size_t, std::uint8_t, std::size_t>; // offset, new byte, bytes kept
    for (const auto& [at, value, size] :
         {Patch{0, 0, 0}, Patch{0, 0, 1}, Patch{8, 0, 9}, Patch{9, 62, 10}, Patch{9, 62, 61},
          Patch{9, 63, 62}, Patch{9, 61, 63}, Patch{0, 1, 63}, Patch{1, 2, 63}, Patch{1, 4, 63}}) {
        EXPECT_TRUE(std::holds_alternative<std::monostate>(decode(with(kReply, at, value, size))))
            << at << " " << int(value) << " " << size;
    }
    EXPECT_TRUE(std::holds_alternative<std::monostate>(decode(with(kSoftware, 0, 1))));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(decode(with(kSoftware, 8, 0, 9))));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(decode(kReply, 8003)));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(decode(kSoftware, 8003)));
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
    const std::string head = "00 08 00 00 00 00 00 00 ";
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {kSoftware, "LTD"},
        {hex(head + "00 0A 4C 54 44"), "LTD"},
        {hex(head + "00 02 4C 54 44"), "LT"},
        {hex(head + "00 05"), ""},
        {hex(head + "00 03 4C 00 44"), "L"},
        {hex(head + "00 C8" + repeat(150, "78")), std::string(99, 'x')}};
    for (const auto& [bytes, text] : cases) {
        const auto result = decode(bytes);
        ASSERT_TRUE(std::holds_alternative<SoftwareText>(result)) << text;
        EXPECT_EQ(std::get<SoftwareText>(result).text, text);
    }
}

TEST(DeviceProtocol, EncodesRequests) {
    const auto search = encodeSearch();
    EXPECT_EQ(Bytes(search.begin(), search.end()), hex("00 01 00 00 00 00 00 00 00 0A"));
    const auto reboot = encodeReboot({0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E});
    EXPECT_EQ(Bytes(reboot.begin(), reboot.end()), hex("00 05 00 0A 1B 2C 3D 4E 00 0A"));

    EXPECT_EQ(encodeSetValues(device(kReply).record),
              hex("00 04 00 0A 1B 2C 3D 4E 00 3B 01 C0 A8 01 14 00 50 FF FF FF 00 0A 00 00 FE 4C 61 62" +
                  repeat(30, "00") + "04"));
    EXPECT_EQ(encodeSetValues(device(with(kReply, 62, 7)).record).back(), 0x07);

    // No mode reported, DHCP off, a port beyond 16 bits, stale bytes behind the name.
    DeviceRecord r = device(with(with(kReply, 9, 62), 10, 0, 62)).record;
    r.Port = 0x12345;
    r.Name.fill('N');
    r.setName("Lab");
    EXPECT_EQ(encodeSetValues(r),
              hex("00 04 00 0A 1B 2C 3D 4E 00 3A 00 C0 A8 01 14 23 45 FF FF FF 00 0A 00 00 FE"
                  " 4C 61 62 00" +
                  repeat(28, "4E") + "00"));
}
