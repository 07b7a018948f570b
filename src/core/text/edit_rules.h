#pragma once

#include <string>
#include <string_view>

namespace zek {

// What an edit lets the user type: any text, decimal digits within a range, or hex digits,
// each up to a length in UTF-16 units (0: no limit). Only typing and pasting are judged;
// a text the program sets is shown as it is.
struct EditRule {
    enum class Kind { Text, Range, Hex };
    Kind kind = Kind::Text;
    int limit = 0;
    long minimum = 0;
    long maximum = 0;
};

enum class EditVerdict { Acceptable, Intermediate, Invalid };

// The verdict on a whole edit text, and the message that tells the user why the content
// was refused (empty when nothing is said, as for a text over the length limit).
struct EditJudgement {
    EditVerdict verdict = EditVerdict::Acceptable;
    std::string refusal;
};

// An empty or too small number is Intermediate: the user may still be typing (an empty
// edit reads as 0).
EditJudgement judgeEdit(const EditRule& rule, std::u16string_view text);

} // namespace zek
