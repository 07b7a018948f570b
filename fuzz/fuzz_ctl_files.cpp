// Any bytes as a file given to zekctl apply (CSV) or restore (JSON), and as module text to
// show: no crash, rows in file order, and what zekctl writes reads back to what it read.
#include "core/text/encodings.h"
#include "ctl/ctl_formats.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zek::cli::ApplyFile file = zek::cli::parseApplyCsv(text);
    for (std::size_t i = 1; i < file.rows.size(); ++i)
        if (file.rows[i].line <= file.rows[i - 1].line)
            std::abort();
    for (const zek::cli::ApplyRow& row : file.rows)
        (void)zek::cli::networkChangeProblem(row.change, nullptr);
    std::string error;
    if (const auto members = zek::cli::parseFlatJson(text, error)) {
        std::string again;
        if (zek::cli::parseFlatJson(zek::cli::jsonObject(*members), again) != members)
            std::abort();
    }
    const std::string shown = zek::visibleText(text);
    for (const char c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            std::abort();
    if (zek::isValidUtf8(text) && zek::unescapeVisible(shown) != text)
        std::abort();
    return 0;
}
