#pragma once

#include <array>
#include <string_view>

namespace zek {

// The texts of the time-zone list, in list order, leading blanks included. The module gets
// the offset parsed back from the selected text, never the index.
inline constexpr std::array<std::string_view, 38> ZoneTable = {
    " -12.00",  " -11.00",  " -10.00",  "   -9.30", "   -9.00", "   -8.00", "   -7.00", "   -6.00",
    "   -5.00", "   -4.30", "   -4.00", "   -3.00", "   -2.00", "   -1.00", "  +0.00",  "  +1.00",
    "  +2.00",  "  +3.00",  "  +3.07",  "  +3.30",  "  +4.00",  "  +4.30",  "  +5.00",  "  +5.30",
    "  +5.45",  "  +6.00",  "  +6.30",  "  +7.00",  "  +8.00",  "  +9.00",  "  +9.30",  "+10.00",
    "+11.00",   "+11.30",   "+12.00",   "+12.45",   "+13.00",   "+14.00",
};
// "  +0.00", selected when the window is set up.
inline constexpr int kDefaultZoneIndex = 14;
// What is read of the selected text.
inline constexpr std::size_t kZoneTextRoom = 28;

// Minutes east of UTC of a zone text read as "%d.%d": hours and minutes, the minutes
// counted against the hours when the text holds a minus sign ("   -9.30" is -570). A text
// without hours gives 0, one without minutes whole hours.
int ZoneOffsetMinutes(std::string_view text);

} // namespace zek
