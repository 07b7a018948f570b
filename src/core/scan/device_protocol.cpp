#include "core/scan/device_protocol.h"

#include <algorithm>
#include <cstdio>

namespace zek {

namespace {

// Offsets inside a search reply and a set-values request; both share the layout up to the name.
constexpr std::size_t kOffCommand = 1;
constexpr std::size_t kOffMac = 2;
constexpr std::size_t kOffLength = 8;
constexpr std::size_t kOffDhcp = 10;
constexpr std::size_t kOffIp = 11;
constexpr std::size_t kOffPort = 15;
constexpr std::size_t kOffNetmask = 17;
constexpr std::size_t kOffGateway = 21;
constexpr std::size_t kOffName = 25;
constexpr std::size_t kOffReplySerial = 58;
constexpr std::size_t kOffReplyMode = 62;
constexpr std::size_t kOffSetMode = 58;
constexpr std::size_t kOffSoftwareText = UDP_HEADER_SIZE;

constexpr int kKnownModeCount = 5;

std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

void writeU16(std::uint8_t* out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 8);
    out[1] = static_cast<std::uint8_t>(value);
}

void writeU32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

void writeHeader(std::uint8_t* out, DeviceCommand command, const MacAddress& mac, std::uint16_t length) {
    out[0] = 0x00;
    out[kOffCommand] = command;
    std::copy(mac.begin(), mac.end(), out + kOffMac);
    writeU16(out + kOffLength, length);
}

// An empty lookup must not throw out of the decoder; the key itself is the fallback text.
std::string languageText(const TextLookup& lookup, std::string_view key) {
    return lookup ? lookup(key) : std::string(key);
}

DecodedDatagram decodeSearchReply(std::span<const std::uint8_t> bytes, const TextLookup& lookup) {
    if (bytes.size() < UDP_HEADER_SIZE) {
        return {};
    }
    const std::uint16_t length = readU16(bytes, kOffLength);
    if (length < SEARCH_REPLY_SIZE) {
        return {};
    }
    const bool modeAnnounced = length >= SEARCH_REPLY_SIZE_WITH_MODE;
    if (bytes.size() < (modeAnnounced ? SEARCH_REPLY_SIZE_WITH_MODE : SEARCH_REPLY_SIZE)) {
        return {};
    }

    DecodedDevice device;
    DeviceRecord& r = device.record;
    std::copy_n(bytes.begin() + kOffMac, r.Mac.size(), r.Mac.begin());
    r.Dhcp = bytes[kOffDhcp];
    r.CurrentIp = readU32(bytes, kOffIp);
    r.Ip = r.CurrentIp;
    r.Port = readU16(bytes, kOffPort);
    r.Netmask = readU32(bytes, kOffNetmask);
    r.Gateway = readU32(bytes, kOffGateway);
    std::copy_n(bytes.begin() + kOffName, NAME_FIELD_SIZE, r.Name.begin());
    // The wire does not promise a terminator; the record always carries one.
    r.Name.back() = '\0';
    r.SerialNumber = readU32(bytes, kOffReplySerial);

    DeviceTexts& t = device.texts;
    t.mac = macText(r.Mac);
    t.dhcp = languageText(lookup, r.Dhcp == 0 ? "TXT_TREE_DHCP_OFF" : "TXT_TREE_DHCP_ON");
    t.ip = paddedIpText(r.CurrentIp);
    t.port = std::to_string(r.Port);
    t.netmask = dottedText(r.Netmask);
    t.gateway = dottedText(r.Gateway);
    t.name = r.nameText();
    t.serial = std::to_string(r.SerialNumber);

    if (!modeAnnounced) {
        r.EthMode = ETH_MODE_NOT_REPORTED;
        t.mode = "---";
    } else if (const int mode = bytes[kOffReplyMode]; mode < kKnownModeCount) {
        r.EthMode = mode;
        t.mode = languageText(lookup, "TXT_ETH_MODE_" + std::to_string(mode));
    } else {
        r.EthMode = ETH_MODE_UNKNOWN_FLAG + mode;
        t.mode = "???";
    }
    return device;
}

DecodedDatagram decodeSoftwareInfo(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < UDP_HEADER_SIZE) {
        return {};
    }
    std::size_t count = readU16(bytes, kOffLength);
    count = std::min({count, bytes.size() - kOffSoftwareText, SOFTWARE_TEXT_MAX});
    const auto begin = bytes.begin() + kOffSoftwareText;
    // The text is handled as a C string further on, so it ends at an embedded zero.
    const auto end = std::find(begin, begin + count, 0);
    return SoftwareText{std::string(begin, end)};
}

} // namespace

std::array<std::uint8_t, UDP_HEADER_SIZE> encodeSearch() {
    std::array<std::uint8_t, UDP_HEADER_SIZE> out{};
    writeHeader(out.data(), CMD_SEARCH, MacAddress{}, UDP_HEADER_SIZE);
    return out;
}

std::array<std::uint8_t, UDP_HEADER_SIZE> encodeReboot(const MacAddress& mac) {
    std::array<std::uint8_t, UDP_HEADER_SIZE> out{};
    writeHeader(out.data(), CMD_REBOOT, mac, UDP_HEADER_SIZE);
    return out;
}

std::vector<std::uint8_t> encodeSetValues(const DeviceRecord& record) {
    const bool withMode = record.EthMode != ETH_MODE_NOT_REPORTED;
    const std::size_t size = withMode ? SET_VALUES_SIZE_WITH_MODE : SET_VALUES_SIZE;
    std::vector<std::uint8_t> out(size, 0);
    std::uint8_t* p = out.data();
    writeHeader(p, CMD_SET_VALUES, record.Mac, static_cast<std::uint16_t>(size));
    p[kOffDhcp] = record.Dhcp;
    writeU32(p + kOffIp, record.Ip);
    writeU16(p + kOffPort, static_cast<std::uint16_t>(record.Port));
    writeU32(p + kOffNetmask, record.Netmask);
    writeU32(p + kOffGateway, record.Gateway);
    std::copy(record.Name.begin(), record.Name.end(), p + kOffName);
    p[kOffName + NAME_FIELD_SIZE - 1] = 0x00;
    if (withMode) {
        p[kOffSetMode] = static_cast<std::uint8_t>(record.EthMode);
    }
    return out;
}

DecodedDatagram decodeDatagram(std::span<const std::uint8_t> bytes, std::uint16_t senderPort,
                               const TextLookup& lookup) {
    if (senderPort != DEVICE_UDP_PORT) {
        return {};
    }
    bytes = bytes.first(std::min(bytes.size(), UDP_REPLY_BUFFER));
    if (bytes.size() <= kOffCommand || bytes[0] != 0x00) {
        return {};
    }
    switch (bytes[kOffCommand]) {
    case CMD_SEARCH_REPLY:
        return decodeSearchReply(bytes, lookup);
    case CMD_SOFTWARE_INFO:
        return decodeSoftwareInfo(bytes);
    default:
        return {};
    }
}

namespace {

// The four numbers of an address through a printf format of four "%u" conversions.
std::string printfDotted(const char* format, std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, format, address >> 24, (address >> 16) & 0xFFu, (address >> 8) & 0xFFu,
                  address & 0xFFu);
    return text;
}

} // namespace

std::string paddedIpText(std::uint32_t address) {
    return printfDotted("%03u.%03u.%03u.%03u", address);
}

std::string dottedText(std::uint32_t address) {
    return printfDotted("%u.%u.%u.%u", address);
}

} // namespace zek
