#include "core/settings/ini_profile.h"
#include "core/text/encodings.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

// Any bytes as a settings or language file: the reader must hold, give back the file
// unchanged when nothing is written, and a write must change that one key only.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zek::IniDocument doc = zek::IniDocument::parse(bytes);
    require(doc.serialize() == bytes);

    // Section and key names taken from the input's first bytes, as odd as they come.
    const std::size_t cut = size > 0 ? data[0] % 8 : 0;
    const std::string section = size > cut ? std::string(bytes.substr(1, cut)) : "S";
    const std::string key = size > 2 * cut ? std::string(bytes.substr(1 + cut, cut)) : "K";
    const std::string value = "v\xC3\xA4" + std::string(bytes.substr(0, std::min<std::size_t>(size, 6)));
    for (const auto& [s, k] :
         {std::pair{section, key}, std::pair{std::string("BASIC_SETTINGS"), std::string("LANGUAGE")}}) {
        const auto before = doc.value(s, k);
        if (before)
            require(zek::isValidUtf8(*before));
        require(zek::utf8Prefix(before.value_or(""), 3).size() <= 12);
        (void)zek::profileInt(before.value_or(""), 0);

        zek::IniDocument changed = doc;
        if (!changed.setValue(s, k, value))
            continue;
        const zek::IniDocument reread = zek::IniDocument::parse(changed.serialize());
        // The key reads back as the same value would from a file of its own.
        const std::string_view line =
            std::string_view(value).substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
        const std::string text = zek::isValidUtf8(line) ? std::string(line) : zek::windows1252ToUtf8(line);
        require(reread.value(s, k) == zek::IniDocument::parse("[x]\nk=" + text).value("x", "k"));
        // Other keys read as before.
        if (!sameNoCase(s, "BASIC_SETTINGS") || !sameNoCase(k, "ETH_INTERFACE"))
            require(reread.value("BASIC_SETTINGS", "ETH_INTERFACE") ==
                    doc.value("BASIC_SETTINGS", "ETH_INTERFACE"));
    }
    return 0;
}
