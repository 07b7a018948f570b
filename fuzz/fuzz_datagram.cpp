#include "core/scan/device_protocol.h"

#include <cstdlib>
#include <string>

namespace {

std::string lookup(std::string_view key) {
    return std::string(key);
}

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkDecoded(const zek::DecodedDatagram& decoded) {
    if (const auto* text = std::get_if<zek::SoftwareText>(&decoded)) {
        require(text->text.size() <= zek::SOFTWARE_TEXT_MAX);
        require(text->text.find('\0') == std::string::npos);
        return;
    }
    const auto* device = std::get_if<zek::DecodedDevice>(&decoded);
    if (device == nullptr) {
        return;
    }
    require(device->texts.mac.size() == 17);
    require(device->texts.name.size() <= zek::NAME_FIELD_SIZE - 1);

    // What the tool would write back to this module must have the fixed size and decode harmlessly.
    auto request = zek::encodeSetValues(device->record);
    const bool withMode = device->record.EthMode != zek::ETH_MODE_NOT_REPORTED;
    require(request.size() == (withMode ? zek::SET_VALUES_SIZE_WITH_MODE : zek::SET_VALUES_SIZE));
    require(request[57] == 0);
    require(
        std::holds_alternative<std::monostate>(zek::decodeDatagram(request, zek::DEVICE_UDP_PORT, lookup)));
    request[1] = zek::CMD_SEARCH_REPLY;
    require(
        std::holds_alternative<std::monostate>(zek::decodeDatagram(request, zek::DEVICE_UDP_PORT, lookup)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    checkDecoded(zek::decodeDatagram(bytes, zek::DEVICE_UDP_PORT, lookup));
    require(
        std::holds_alternative<std::monostate>(zek::decodeDatagram(bytes, zek::DEVICE_UDP_PORT + 1, lookup)));
    // A missing language table must not throw out of the decoder either.
    checkDecoded(zek::decodeDatagram(bytes, zek::DEVICE_UDP_PORT, {}));
    return 0;
}
