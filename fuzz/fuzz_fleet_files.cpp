// Any bytes as a --modules file or a fleet backup: no crash, names in file order and never
// twice, and each delimited object a piece of the text that starts and ends with a brace.
#include "core/text/fleet_files.h"

#include <cstdint>
#include <cstdlib>
#include <string>
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
    std::string error;
    if (const auto objects = zek::jsonArrayObjects(text, error)) {
        if (!error.empty() || !zek::isJsonArray(text))
            std::abort();
        for (const std::string_view object : *objects)
            if (object.size() < 2 || object.front() != '{' ||
                (object.back() != '}' && object.back() != ']') || object.data() < text.data() ||
                object.data() + object.size() > text.data() + text.size())
                std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
