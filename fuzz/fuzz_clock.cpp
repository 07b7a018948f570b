// Any bytes as a module's clock or rule reply, a zone text or the time field's text: the
// clock and daylight-saving decoders must neither crash nor read past their input, and the
// time field must always hold a valid nine-character time afterwards.
#include "core/clock/clock_texts.h"
#include "core/clock/dst_rule.h"
#include "core/clock/time_entry.h"
#include "core/clock/time_zones.h"
#include "core/session/reply_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zek::ParsedReply reply = zek::ParseReply(text);
    for (const bool compact : {true, false}) {
        const zek::ClockReplyEffect effect = zek::clockReplyEffect(reply.kind, text, compact);
        for (const auto& field : {effect.utcTime, effect.localTime})
            if (field && field->size() > size && *field != "?")
                std::abort();
    }
    if (reply.kind == zek::ReplyKind::DstStart || reply.kind == zek::ReplyKind::DstStop) {
        const zek::DstRule rule = zek::DstRule::fromReply(reply.values);
        if (rule.valid() && zek::DstRule::fromIndexes(rule.indexes()) != rule)
            std::abort();
    }
    (void)zek::zoneDisplayText(zek::ZoneOffsetMinutes(text));

    // The text as typed into the time field, the caret after it.
    zek::TimeFieldState state = zek::timeFieldFocus({}, 0, 0);
    const zek::TimeFieldStep step = zek::timeFieldUpdate(state, text, size);
    const std::string& shown = step.replacement ? *step.replacement : std::string(text);
    if (step.replacement && !zek::scanTimeText(shown))
        std::abort();
    return 0;
}
