#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
// "%02d:%02d:%02d" at the start of the text: each number at most two characters, sign
// included, after any white space.
std::optional<TimeOfDay> scanTimeText(std::string_view text);

inline constexpr std::string_view kTimeFieldStart = "00:00:00 ";

// The check of the time field: "hh:mm:ss " with a valid time of day. It keeps the last text
// it accepted; an hour of 24 to 29 typed over the tens digit makes that text's hour 20
// (or keeps its units digit when the tens digit stays), which the field then shows instead.
class TFormat2Validator {
public:
    static constexpr std::size_t kRoom = 254;

    bool accept(std::string_view text);
    const std::string& lastAccepted() const { return m_lastAccepted; }
    bool corrected() const { return m_corrected; }

private:
    std::string m_lastAccepted{kTimeFieldStart};
    bool m_corrected = false;
};

// The overtype handling of the time field, between two of its notifications.
struct TimeFieldState {
    TFormat2Validator validator;
    std::size_t caret = 0;
    std::size_t selectionEnd = 0;
    // 1: the next update is the user's; 0: it is the echo of the handler's own replacement.
    int mode = 1;
};

struct TimeFieldStep {
    TimeFieldState state;
    std::optional<std::string> replacement; // the text to put into the field instead
    std::optional<std::size_t> caret;       // where the caret goes
};

// The field gained the focus with this selection.
TimeFieldState timeFieldFocus(TimeFieldState state, std::size_t selectionStart, std::size_t selectionEnd);
// The field's text changed, the caret (selection start) now at `selectionStart`. A typed
// character overwrites the one after it, the caret skips ":" and the blank, and a text
// that fails the check is replaced by the last accepted one.
TimeFieldStep timeFieldUpdate(TimeFieldState state, std::string_view text, std::size_t selectionStart);

} // namespace zek
