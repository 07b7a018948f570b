#include "core/session/read_sequence.h"

namespace zek {

// Only the Read actions have buttons here: zekctl writes by single commands.
bool ReadSequence::perform(ValueAction action) {
    const auto query = readQuery(action);
    for (const ReadButton& button : readButtons())
        if (query && queryText(button.keyword) == query->text)
            m_host.pressButton(button.id);
    return true;
}

} // namespace zek
