#include "core/scan/tree_texts.h"

#include "core/text/c_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zek {

namespace {

std::string capped(std::string text) {
    if (text.size() > kTreeItemTextMax)
        text.resize(kTreeItemTextMax);
    return text;
}

std::string joined(std::string_view a, std::string_view b) {
    std::string text;
    text.reserve(a.size() + b.size() + 3);
    text.append(a).append(" : ").append(b);
    return capped(std::move(text));
}

const std::string& leafValue(const DeviceTexts& t, Leaf leaf) {
    switch (leaf) {
    case Leaf::Ip:
        return t.ip;
    case Leaf::Netmask:
        return t.netmask;
    case Leaf::Gateway:
        return t.gateway;
    case Leaf::Mode:
        return t.mode;
    case Leaf::Dhcp:
        return t.dhcp;
    case Leaf::Name:
        return t.name;
    case Leaf::Port:
        return t.port;
    case Leaf::Mac:
        return t.mac;
    case Leaf::Nr:
    case Leaf::Count:
        break;
    }
    return t.serial;
}

} // namespace

LeafLabels defaultLeafLabels() {
    return {"IP", "Netmask", "Gateway", "Mode", "DHCP", "Name", "Port", "MAC", "Nr"};
}

std::string_view leafLabelKey(Leaf leaf) {
    static constexpr std::string_view keys[kLeafCount] = {
        "TXT_TREE_IP",   "TXT_TREE_NETMASK", "TXT_TREE_GATEWAY", "TXT_TREE_MODE", "TXT_TREE_DHCP",
        "TXT_TREE_NAME", "TXT_TREE_PORT",    "TXT_TREE_MAC",     "TXT_TREE_NR",
    };
    return keys[std::min(std::size_t(leaf), kLeafCount - 1)];
}

int clampSortOrder(int sortOrder) {
    return std::clamp(sortOrder, 0, kSortOrders - 1);
}

std::optional<std::string> moduleNodeText(int sortOrder, const DeviceTexts& texts) {
    switch (sortOrder) {
    case 0:
        return joined(texts.mac, texts.name);
    case 1:
        return joined(texts.ip, texts.name);
    case 2:
        return joined(" " + texts.name, texts.ip);
    default:
        return std::nullopt;
    }
}

std::vector<std::string> leafTexts(const LeafLabels& labels, const DeviceTexts& texts) {
    std::vector<std::string> leaves;
    leaves.reserve(kLeafCount);
    for (std::size_t i = 0; i < kLeafCount; ++i) {
        const std::string& value = leafValue(texts, Leaf(i));
        if (!value.empty())
            leaves.push_back(joined(labels[i], value));
    }
    return leaves;
}

std::string topNodeText(std::string_view online, std::size_t count) {
    return capped(std::string(online) + " " + std::to_string(count));
}

std::optional<std::string> macFromNodeText(std::string_view text, std::string_view macLabel) {
    // "%s : %s", then again as "%s : %X %X %X %X %X %X".
    ScanCursor s(text);
    const auto label = s.scanfWord();
    s.skipSpace();
    if (!label || !s.literal(':') || !s.scanfWord() || *label != macLabel)
        return std::nullopt;
    ScanCursor again(text);
    again.scanfWord();
    again.skipSpace();
    again.literal(':');
    unsigned long bytes[6];
    for (auto& b : bytes) {
        const auto value = again.scanfHex();
        if (!value)
            return std::nullopt;
        b = *value;
    }
    char buffer[6 * 9 + 1];
    std::snprintf(buffer, sizeof buffer, "%02lX %02lX %02lX %02lX %02lX %02lX", bytes[0], bytes[1], bytes[2],
                  bytes[3], bytes[4], bytes[5]);
    return std::string(buffer);
}

bool lessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

std::size_t sortedInsertPosition(std::span<const std::string> sortedTexts, std::string_view key) {
    const auto at =
        std::upper_bound(sortedTexts.begin(), sortedTexts.end(), key,
                         [](std::string_view k, const std::string& text) { return lessNoCase(k, text); });
    return std::size_t(at - sortedTexts.begin());
}

} // namespace zek
