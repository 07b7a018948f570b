#include "core/scan/device_table.h"
#include "core/scan/tree_texts.h"

#include <gtest/gtest.h>

using namespace zek;

namespace {

DeviceRecord module(std::uint8_t last, std::uint32_t ip = 0xC0A8010A, std::uint32_t mask = 0xFFFFFF00) {
    DeviceRecord r;
    r.Mac = {0x00, 0x0A, 0x1B, 0x2C, 0x3D, last};
    r.Ip = r.CurrentIp = ip;
    r.Netmask = mask;
    return r;
}

DeviceTexts texts(std::string mac, std::string ip, std::string name) {
    return {mac, "off", ip, "10001", "255.255.255.0", "192.168.1.1", name, "256", "Auto"};
}

} // namespace

TEST(DeviceTable, FirstAnswerWinsAndTheTableStopsAt260) {
    DeviceTable table;
    DeviceRecord first = module(1), again = module(1);
    first.Port = 80;
    again.Port = 81;
    EXPECT_EQ(table.add(first, macText(first.Mac)), DeviceTable::AddResult::Added);
    EXPECT_EQ(table.add(again, macText(again.Mac)), DeviceTable::AddResult::Duplicate);
    ASSERT_EQ(table.count(), 1u);
    EXPECT_EQ(table.record(0).Port, 80);
    for (int i = 2; table.count() < DeviceTable::kCapacity; ++i) {
        DeviceRecord r = module(std::uint8_t(i));
        r.Mac[4] = std::uint8_t(i >> 8);
        ASSERT_EQ(table.add(r, macText(r.Mac)), DeviceTable::AddResult::Added);
    }
    DeviceRecord extra = module(0xFF);
    extra.Mac[0] = 0xEE;
    EXPECT_EQ(table.add(extra, macText(extra.Mac)), DeviceTable::AddResult::Full);
    EXPECT_EQ(table.count(), 260u);
    EXPECT_EQ(table.find(macText(extra.Mac)), -1);
}

TEST(DeviceTable, SelectionIsClearedBySearchAndRefusesBadIndices) {
    DeviceTable table;
    table.add(module(1), macText(module(1).Mac));
    table.select(0);
    EXPECT_NE(table.selected(), nullptr);
    table.select(1);
    EXPECT_EQ(table.selectedIndex(), -1);
    table.select(0);
    table.clear();
    EXPECT_EQ(table.selectedIndex(), -1);
    EXPECT_EQ(table.selected(), nullptr);
}

TEST(DeviceTable, SameSubnetUsesTheModulesNetmask) {
    // PC address, module address, module netmask, same subnet
    const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, bool> cases[] = {
        {0xC0A8010A, 0xC0A80205, 0xFFFFFF00, false},
        {0xC0A8010A, 0xC0A80205, 0xFFFF0000, true},
        {0x7F000001, 0x7F000002, 0xFF000000, true},
        {0x7F000001, 0x0A0000FE, 0x00000000, true}};
    for (const auto& [pc, ip, mask, same] : cases) {
        const DeviceRecord r = module(1, ip, mask);
        EXPECT_EQ(sameSubnet(pc, &r), same) << std::hex << ip << " / " << mask;
    }
    EXPECT_FALSE(sameSubnet(0x7F000001, nullptr));
}

TEST(TreeTexts, ModuleNodeTextBySortOrder) {
    const DeviceTexts t = texts("00 0A 1B 2C 3D 4E", "192.168.001.020", "Boiler");
    EXPECT_EQ(moduleNodeText(0, t), "00 0A 1B 2C 3D 4E : Boiler");
    EXPECT_EQ(moduleNodeText(1, t), "192.168.001.020 : Boiler");
    EXPECT_EQ(moduleNodeText(2, t), " Boiler : 192.168.001.020");
    EXPECT_EQ(moduleNodeText(3, t), std::nullopt);
    EXPECT_EQ(moduleNodeText(-1, t), std::nullopt);
    EXPECT_EQ(moduleNodeText(0, texts("00 00 00 00 00 05", "x", "")), "00 00 00 00 00 05 : ");
    EXPECT_EQ(clampSortOrder(7), 2);
    EXPECT_EQ(clampSortOrder(-3), 0);
}

TEST(TreeTexts, LeavesInOrderSkippingEmptyValues) {
    EXPECT_EQ(leafTexts(defaultLeafLabels(), texts("00 0A 1B 2C 3D 4E", "010.000.000.254", "")),
              (std::vector<std::string>{"IP : 010.000.000.254", "Netmask : 255.255.255.0",
                                        "Gateway : 192.168.1.1", "Mode : Auto", "DHCP : off", "Port : 10001",
                                        "MAC : 00 0A 1B 2C 3D 4E", "Nr : 256"}));
    EXPECT_EQ(topNodeText("ZEK online:", 3), "ZEK online: 3");
}

TEST(TreeTexts, MacFromNodeText) {
    const std::string mac = "00 0A 1B 2C 3D 4E";
    const std::tuple<const char*, const char*, std::optional<std::string>> cases[] = {
        {"MAC : 00 0A 1B 2C 3D 4E", "MAC", mac},
        {"MAC : 0 a 1b 2c 3d 4e", "MAC", mac}, // rebuilt, so the lookup matches
        {"MAC   :   00 0A 1B 2C 3D 4E  ", "MAC", mac},
        {"Adresse : 00 0A 1B 2C 3D 4E", "Adresse", mac},
        {"mac : 00 0A 1B 2C 3D 4E", "MAC", std::nullopt}, // the label compares case-sensitively
        {"MAC : 00 0A 1B 2C 3D", "MAC", std::nullopt},
        {"MAC : zz 0A 1B 2C 3D 4E", "MAC", std::nullopt},
        {"MAC :", "MAC", std::nullopt},
        {"MAC", "MAC", std::nullopt},
        {"", "MAC", std::nullopt},
        {"00 0A 1B 2C 3D 4E : Boiler", "MAC", std::nullopt},  // a module node is not a MAC leaf
        {"MAC : 1FF 0 0 0 0 0", "MAC", "1FF 00 00 00 00 00"}, // too large: no listed module matches
        {"MAC : FFFFFFFFFFFFFFFFFFFF 0 0 0 0 0", "MAC", "FFFFFFFF 00 00 00 00 00"},
    };
    for (const auto& [text, label, expected] : cases)
        EXPECT_EQ(macFromNodeText(text, label), expected) << text;
}

TEST(TreeTexts, OrderIgnoresLetterCase) {
    EXPECT_TRUE(lessNoCase(" alpha : x", " Beta : x"));
    EXPECT_FALSE(lessNoCase(" Beta : x", " alpha : x"));
    EXPECT_TRUE(lessNoCase("192.168.001.003 : a", "192.168.001.020 : a"));
    EXPECT_FALSE(lessNoCase("ABC", "abc"));
    EXPECT_FALSE(lessNoCase("abc", "ABC"));
    // Arrivals in this order make the tree below; equal texts keep their arrival order.
    std::vector<std::string> tree;
    for (const char* text : {" beta : 2", " Alpha : 1", " BETA : 2", " gamma : 3", " alpha : 1", ""})
        tree.insert(tree.begin() + std::ptrdiff_t(sortedInsertPosition(tree, text)), text);
    EXPECT_EQ(tree, (std::vector<std::string>{"", " Alpha : 1", " alpha : 1", " beta : 2", " BETA : 2",
                                              " gamma : 3"}));
}
