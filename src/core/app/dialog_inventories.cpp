#include "core/app/dialog_inventories.h"

#include "core/app/control_ids.h"

#include <array>

namespace zek {

namespace {

using enum ControlKind;

constexpr ControlSpec text(int id, const char* resource, int x, int y, int w) {
    return {id, Text, resource, x, y, w, 8};
}

constexpr ControlSpec list(int id, int x, int y, int w) {
    return {id, DropDownList, "", x, y, w, 12};
}

constexpr ControlSpec setButton(int id, int x, int y) {
    return {id, DefaultPushButton, "Set", x, y, 50, 14};
}

// DST Settings: a label, the occurrence, weekday, month and hour lists and the date preview
// per rule, in rows as the main window has them.
constexpr ControlSpec kDstSettings[] = {
    text(dlg::kDstStartRow.label, "Start DST:", 7, 9, 40),
    list(dlg::kDstStartRow.week, 50, 7, 48),
    list(dlg::kDstStartRow.weekday, 102, 7, 60),
    list(dlg::kDstStartRow.month, 166, 7, 60),
    list(dlg::kDstStartRow.hour, 230, 7, 44),
    text(dlg::kDstStartRow.preview, "?", 280, 9, 38),
    text(dlg::kDstStopRow.label, "Stop DST:", 7, 27, 40),
    list(dlg::kDstStopRow.week, 50, 25, 48),
    list(dlg::kDstStopRow.weekday, 102, 25, 60),
    list(dlg::kDstStopRow.month, 166, 25, 60),
    list(dlg::kDstStopRow.hour, 230, 25, 44),
    text(dlg::kDstStopRow.preview, "?", 280, 27, 38),
    setButton(dlg::DstSet, 136, 46),
};

constexpr ControlSpec kAskDst[] = {
    {dlg::AskDstGroup, GroupBox, "Selection DST/No DST", 7, 5, 186, 42},
    {dlg::AskDstSummer, RadioButton, "Daylight saving time ", 14, 18, 172, 10},
    {dlg::AskDstWinter, RadioButton, "Wintertime", 14, 31, 172, 10},
    setButton(dlg::AskDstSet, 75, 53),
};

constexpr ControlSpec kAskInvalidHour[] = {
    {dlg::AskInvalidHourText, TextCentre, "Warnung.....", 7, 7, 186, 30},
    setButton(dlg::AskInvalidHourSet, 75, 42),
};

// The grid is a plain numbering, seven cells a row; the last row holds 29, 30 and 31.
constexpr std::array<int, 7> kGridX = {10, 30, 50, 70, 90, 110, 129};
constexpr std::array<int, 5> kGridY = {40, 60, 80, 101, 121};
constexpr std::array<const char*, 31> kDayTexts = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31"};

constexpr ControlSpec dayCell(int id, int day, unsigned flags) {
    const auto cell = std::size_t(day - 1);
    return {
        id, PushButton, kDayTexts[cell], kGridX[cell % 7], kGridY[cell / 7], 16, 16, 0, InputRule::None, 0,
        0,  flags};
}

constexpr std::array<ControlSpec, 66> makeDate() {
    std::array<ControlSpec, 66> controls{{
        list(dlg::DateDay, 10, 10, 30),
        list(dlg::DateMonth, 44, 10, 60),
        list(dlg::DateYear, 108, 10, 36),
        setButton(dlg::DateSet, 52, 143),
    }};
    for (int day = 1; day <= 31; ++day) {
        controls[std::size_t(3 + day)] = dayCell(dlg::dayButton(day), day, NoFlags);
        controls[std::size_t(34 + day)] = dayCell(dlg::plainDayButton(day), day, Hidden);
    }
    return controls;
}
constexpr std::array<ControlSpec, 66> kDate = makeDate();

} // namespace

const DialogTemplate& dstSettingsDialog() {
    static constexpr DialogTemplate kDialog{kDstSettings, 325, 67};
    return kDialog;
}

const DialogTemplate& askDstDialog() {
    static constexpr DialogTemplate kDialog{kAskDst, 200, 74};
    return kDialog;
}

const DialogTemplate& askInvalidHourDialog() {
    static constexpr DialogTemplate kDialog{kAskInvalidHour, 200, 63};
    return kDialog;
}

const DialogTemplate& dateDialog() {
    static constexpr DialogTemplate kDialog{kDate, 155, 164};
    return kDialog;
}

} // namespace zek
