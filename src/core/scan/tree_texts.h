#pragma once

#include "core/scan/device_protocol.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

// Labels of the nine detail leaves, in the order they hang under a module node.
enum class Leaf { Ip, Netmask, Gateway, Mode, Dhcp, Name, Port, Mac, Nr, Count };
inline constexpr std::size_t kLeafCount = std::size_t(Leaf::Count);
inline constexpr std::size_t kLeafLabelMax = 28;
inline constexpr std::size_t kTreeItemTextMax = 254; // the tree's item text buffer holds 255 with the zero

using LeafLabels = std::array<std::string, kLeafCount>;
LeafLabels defaultLeafLabels();
// The language key of each leaf label ("TXT_TREE_IP", ...).
std::string_view leafLabelKey(Leaf leaf);

inline constexpr int kSortOrders = 3;
int clampSortOrder(int sortOrder);

// "%s : %s" by sort order: MAC and name, IP and name, or " name : IP"; nothing for an order outside 0-2.
std::optional<std::string> moduleNodeText(int sortOrder, const DeviceTexts& texts);
// "%s : %s" (label, value) per leaf, skipping leaves whose value is empty.
std::vector<std::string> leafTexts(const LeafLabels& labels, const DeviceTexts& texts);
// "%s %d": the online text and the number of module nodes.
std::string topNodeText(std::string_view online, std::size_t count);

// Reads a node text in the manner of "%s : %s"; when the first word equals the MAC label
// and six hexadecimal numbers follow, returns the MAC text rebuilt from them.
std::optional<std::string> macFromNodeText(std::string_view text, std::string_view macLabel);

// Ordering of module nodes: ascending, letter case ignored.
bool lessNoCase(std::string_view a, std::string_view b);
// Where a node with text `key` goes among node texts kept in that order: after every text
// that is not greater, so equal texts keep their arrival order.
std::size_t sortedInsertPosition(std::span<const std::string> sortedTexts, std::string_view key);

} // namespace zek
