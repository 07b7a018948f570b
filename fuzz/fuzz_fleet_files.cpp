// Any bytes as a --modules file: no crash, each name a MAC or an IP, in file order, and
// either names or an error.
#include "core/text/fleet_files.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zek::TargetList list = zek::parseTargetList(text);
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        const zek::TargetName& name = list.names[i];
        if (name.mac.has_value() == name.ip.has_value() || (i > 0 && name.line <= list.names[i - 1].line))
            std::abort();
    }
    if (list.error.empty() == list.names.empty())
        std::abort();
    return 0;
}
