#include "core/clock/date_picker.h"

#include "core/clock/calendar.h"

#include <algorithm>
#include <cstdio>

namespace zek {

namespace {

std::string twoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

// The list item an index selects, 1-based, within the list.
int item(int index, int count) {
    return std::clamp(index + 1, 1, count);
}

} // namespace

std::vector<std::string> dayItems(int count) {
    std::vector<std::string> items;
    for (int day = 1; day <= count; ++day)
        items.push_back(twoDigits(day));
    return items;
}

std::vector<std::string> yearItems() {
    std::vector<std::string> items;
    for (int yy = 1; yy <= kPickerYears; ++yy)
        items.push_back("20" + twoDigits(yy));
    return items;
}

DayLook DayGrid::look(int day) const {
    if (day > dayCount)
        return DayLook::Hidden;
    return day == chosenDay ? DayLook::Chosen : DayLook::Plain;
}

DayGrid UpdateDayGrid(int dayIndex, int monthIndex, int yearIndex) {
    const int month = item(monthIndex, 12);
    const int yy = item(yearIndex, kPickerYears);
    // The leap test works on the year of the century, as the month length allows.
    const int count = MonthLength(month, yy);
    const int day = std::min(item(dayIndex, kDayButtons), count);
    return {count, day, {std::uint8_t(day), std::uint8_t(month), std::uint8_t(yy)}};
}

std::string dateFieldText(const ManualDate& date) {
    return twoDigits(date.day) + "." + twoDigits(date.month) + "." + twoDigits(date.year);
}

} // namespace zek
