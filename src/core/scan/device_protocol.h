#pragma once

#include "core/scan/device_record.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zek {

enum DeviceCommand : std::uint8_t {
    CMD_SEARCH = 1,
    CMD_SEARCH_REPLY = 3,
    CMD_SET_VALUES = 4,
    CMD_REBOOT = 5,
    CMD_SOFTWARE_INFO = 8,
};

inline constexpr std::size_t UDP_HEADER_SIZE = 10;
inline constexpr std::size_t SEARCH_REPLY_SIZE = 62; // without the mode byte
inline constexpr std::size_t SEARCH_REPLY_SIZE_WITH_MODE = 63;
inline constexpr std::size_t SET_VALUES_SIZE = 58; // without the mode byte
inline constexpr std::size_t SET_VALUES_SIZE_WITH_MODE = 59;
inline constexpr std::size_t UDP_REPLY_BUFFER = 255; // bytes of one received datagram that count
inline constexpr std::size_t SOFTWARE_TEXT_MAX = 99;

// The display texts of one module, as shown in the tree and its leaves.
struct DeviceTexts {
    std::string mac;     // "00 0A 1B 2C 3D 4E"
    std::string dhcp;    // TXT_TREE_DHCP_ON / TXT_TREE_DHCP_OFF
    std::string ip;      // "192.168.001.020": three digits per number
    std::string port;    // "80"
    std::string netmask; // "255.255.255.0"
    std::string gateway;
    std::string name;   // at most 32 characters
    std::string serial; // "256"
    std::string mode;   // TXT_ETH_MODE_n, "---" or "???"
};

struct DecodedDevice {
    DeviceRecord record;
    DeviceTexts texts;
};

struct SoftwareText {
    std::string text; // at most 99 characters
};

// Nothing (the datagram is ignored), a module's search reply, or a software text.
using DecodedDatagram = std::variant<std::monostate, DecodedDevice, SoftwareText>;

// Returns the text of a language key ("TXT_ETH_MODE_2", "TXT_TREE_DHCP_ON", ...).
using TextLookup = std::function<std::string(std::string_view key)>;

std::array<std::uint8_t, UDP_HEADER_SIZE> encodeSearch();
std::array<std::uint8_t, UDP_HEADER_SIZE> encodeReboot(const MacAddress& mac);
// 59 bytes when the module reported an Ethernet mode, else 58.
std::vector<std::uint8_t> encodeSetValues(const DeviceRecord& record);

// Decodes any bytes received from a sender port; never reads past `bytes`.
DecodedDatagram decodeDatagram(std::span<const std::uint8_t> bytes, std::uint16_t senderPort,
                               const TextLookup& lookup);

// "%03u.%03u.%03u.%03u" and "%u.%u.%u.%u" of an address held with the first number in bits 31-24.
std::string paddedIpText(std::uint32_t address);
std::string dottedText(std::uint32_t address);

} // namespace zek
