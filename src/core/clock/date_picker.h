#pragma once

#include "core/clock/clock_texts.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

// The date picker: a day, a month and a year list and 31 day buttons in a plain
// numbering grid (day 1 always in the first cell).
inline constexpr int kDayButtons = 31;
inline constexpr int kFirstPickerYear = 2001; // the year list's first item
inline constexpr int kPickerYears = 99;       // 2001 .. 2099

// Month names for the month list before a language has filled the main window's.
inline constexpr std::array<std::string_view, 12> kBuiltInMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// "01" .. "nn".
std::vector<std::string> dayItems(int count);
// "2001" .. "2099".
std::vector<std::string> yearItems();

enum class DayLook { Hidden, Chosen, Plain };

// What the picker shows for the selected indexes of its three lists: the days the month
// has, the chosen day pulled back to the month's last, and each button's look.
struct DayGrid {
    int dayCount = 31;
    int chosenDay = 1;
    ManualDate date; // the chosen date

    DayLook look(int day) const;
};
// An index without a selection (-1) counts as the list's first item.
DayGrid UpdateDayGrid(int dayIndex, int monthIndex, int yearIndex);

// "dd.mm.yy", as the date field shows the entered date.
std::string dateFieldText(const ManualDate& date);

} // namespace zek
