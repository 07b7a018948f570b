// Any bytes as a backup file, one module's object or a fleet's array: no crash, what is read
// is UTF-8, and written again it is UTF-8 without a raw control character and reads back
// the same.
#include "core/text/encodings.h"
#include "core/text/json.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void checkWritten(const std::string& written) {
    if (!zek::isValidUtf8(written))
        std::abort();
    for (const char c : written)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F)
            std::abort();
}

bool allUtf8(const std::vector<zek::JsonMembers>& objects) {
    for (const zek::JsonMembers& members : objects)
        for (const auto& [key, value] : members)
            if (!zek::isValidUtf8(key) || !zek::isValidUtf8(value))
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    bool isArray = false;
    const auto objects = zek::parseFlatJsonObjects(text, error, &isArray);
    const auto single = zek::parseFlatJson(text, error);
    if (single && (!objects || isArray || objects->size() != 1 || objects->front() != *single))
        std::abort();
    if (!objects) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::string written = zek::jsonArray(*objects);
    checkWritten(written);
    std::string again;
    const auto read = zek::parseFlatJsonObjects(written, again);
    if (!allUtf8(*objects) || read != objects)
        std::abort();
    if (!objects->empty())
        checkWritten(zek::jsonObject(objects->front()));
    return 0;
}
