// Any bytes as a module's reply line: the parser must neither crash nor read past the
// line, and what it decides must keep within the limits the window relies on.
#include "core/session/reply_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const zek::ParsedReply reply = zek::ParseReply(line);
    if (size == 0 || size > zek::kReplyLineMax) {
        if (reply.kind != zek::ReplyKind::None)
            std::abort();
        return 0;
    }
    if (reply.shown && reply.shown->size() > size)
        std::abort();
    if (reply.kind == zek::ReplyKind::ModulTyp && reply.shown && reply.shown->size() > zek::kModuleInfoMax)
        std::abort();
    if (reply.kind == zek::ReplyKind::TrapIp && (reply.trapRow < 1 || reply.trapRow > 3))
        std::abort();
    (void)zek::capabilitiesOf(reply.word);
    return 0;
}
