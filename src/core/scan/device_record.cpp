#include "core/scan/device_record.h"

#include <algorithm>
#include <cstdio>

namespace zek {

namespace {

constexpr std::size_t kNameMaxChars = NAME_FIELD_SIZE - 1;

} // namespace

std::string DeviceRecord::nameText() const {
    const auto end = std::find(Name.begin(), Name.begin() + kNameMaxChars, '\0');
    return std::string(Name.begin(), end);
}

void DeviceRecord::setName(std::string_view name) {
    const std::size_t count = std::min(name.size(), kNameMaxChars);
    std::copy_n(name.begin(), count, Name.begin());
    Name[count] = '\0';
}

std::string macText(const MacAddress& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X %02X %02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

} // namespace zek
