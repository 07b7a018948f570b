#include "core/session/session_flags.h"

#include "core/session/reply_parser.h"

namespace zek {

void noteReply(const ParsedReply& reply, SessionFlags& flags) {
    if (reply.seen)
        flags.setSeen(*reply.seen);
    if (reply.kind == ReplyKind::ModulConfig) {
        const Capabilities letters = capabilitiesOf(reply.word);
        flags.ModulConfigSeen = true;
        flags.TrapCapable = letters.T;
        flags.LoggerCapable = letters.L;
    }
}

} // namespace zek
