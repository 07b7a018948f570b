#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zek {

inline constexpr std::uint16_t DEVICE_UDP_PORT = 8002;

inline constexpr std::int32_t ETH_MODE_NOT_REPORTED = 0xFFFF;
inline constexpr std::int32_t ETH_MODE_UNKNOWN_FLAG = 0x100;

using MacAddress = std::array<std::uint8_t, 6>;

// Size of the name field on the wire: up to 32 characters and a terminating zero.
inline constexpr std::size_t NAME_FIELD_SIZE = 33;

// One module found by a search. Addresses hold the first dotted number in bits 31-24.
struct DeviceRecord {
    MacAddress Mac{};
    std::uint32_t CurrentIp = 0; // as reported; the session connects here
    std::uint8_t Dhcp = 0;       // the byte as received, 0 = off
    std::uint32_t Ip = 0;        // to be set; equals CurrentIp after a search
    std::int32_t Port = 0;
    std::uint32_t Netmask = 0;
    std::uint32_t Gateway = 0;
    // The raw field: the name, a zero byte, then whatever the field held before.
    std::array<char, NAME_FIELD_SIZE> Name{};
    std::uint32_t SerialNumber = 0;
    std::int32_t EthMode = ETH_MODE_NOT_REPORTED;

    // The name up to its first zero byte, at most 32 characters.
    std::string nameText() const;
    // Stores up to 32 characters and a terminating zero; the rest of the field is kept.
    void setName(std::string_view name);
};

// "%02X %02X %02X %02X %02X %02X": the key under which a module is listed.
std::string macText(const MacAddress& mac);

} // namespace zek
