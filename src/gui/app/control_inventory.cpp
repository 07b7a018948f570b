#include "gui/app/control_inventory.h"

namespace zek {

namespace {

using enum ControlKind;

constexpr unsigned kCompact = HiddenInCompact;

// Layout grid, in dialog units: controls of a row are 12 high on a 14-unit pitch,
// labels (8 high) sit 2 below the row top so their text lines up with the edits.
// The first row starts 13 below the group's top, clear of the group's title.
// Each group keeps a label column at its left and a field column beside it; the
// single Read/Set pairs close their row at the group's right inner edge, the group
// buttons sit at its bottom right.
constexpr int kRow = 12;
constexpr int kLabel = 8;
constexpr int kButton = 14;

constexpr int row(int groupTop, int n) {
    return groupTop + 13 + 14 * n;
}

// Rows of the upper groups (top 3) and of the lower ones (top 151).
constexpr int upperRow(int n) {
    return row(3, n);
}
constexpr int lowerRow(int n) {
    return row(151, n);
}

// Settings and Device groups: labels from x 193, fields from 253 to 370.
constexpr int kNetLabelX = 193;
constexpr int kNetFieldX = 253;
constexpr int kNetFieldW = 117;

// Data Logger and SNMP groups: labels from x 387, fields from 449; row buttons at 590 and 622.
constexpr int kLogLabelX = 387;
constexpr int kLogFieldX = 449;
constexpr int kReadX = 590;
constexpr int kSetX = 622;
constexpr int kSmallButtonW = 28;

// Debug && Test group: inner edges 386 and 652.
constexpr int kDbgX = 386;
constexpr int kDbgRight = 652;

constexpr ControlSpec octet(int id, int x, int y) {
    return {id, Edit, "0", x, y, 27, kRow, 3, InputRule::Range, 0, 255};
}

constexpr ControlSpec macByte(int id, int x, int y) {
    return {id, Edit, "0", x, y, 17, kRow, 2, InputRule::Hex};
}

constexpr ControlSpec rowButton(int id, const char* text, int x, int y) {
    return {id, PushButton, text, x, y, kSmallButtonW, kRow, 0, InputRule::None, 0, 0, kCompact};
}

constexpr ControlSpec label(int id, const char* text, int x, int rowY, int w, unsigned flags = NoFlags) {
    return {id, Text, text, x, rowY + 2, w, kLabel, 0, InputRule::None, 0, 0, flags};
}

constexpr ControlSpec rightLabel(int id, const char* text, int x, int rowY, int w) {
    return {id, TextRight, text, x, rowY + 2, w, kLabel};
}

constexpr ControlSpec edit(int id, const char* text, int x, int y, int w, int limit = 0,
                           unsigned flags = NoFlags) {
    return {id, Edit, text, x, y, w, kRow, limit, InputRule::None, 0, 0, flags};
}

constexpr ControlSpec dropDown(int id, int x, int y, int w, unsigned flags = NoFlags) {
    return {id, DropDownList, "", x, y, w, kRow, 0, InputRule::None, 0, 0, flags};
}

constexpr ControlSpec checkBox(int id, const char* text, int x, int y, int w, unsigned flags = NoFlags) {
    return {id, CheckBox, text, x, y, w, kRow, 0, InputRule::None, 0, 0, flags};
}

constexpr ControlSpec button(int id, const char* text, int x, int y, int w, unsigned flags = NoFlags) {
    return {id, PushButton, text, x, y, w, kButton, 0, InputRule::None, 0, 0, flags};
}

constexpr ControlSpec defaultButton(int id, const char* text, int x, int y, int w) {
    return {id, DefaultPushButton, text, x, y, w, kButton};
}

// Table order is creation order, and so the tab order: groups come before their
// controls (a group box created later would cover them), controls row by row.
constexpr ControlSpec kInventory[] = {
    // Socket Communication: interface row, tree, sort row, Search / Connect at the bottom.
    {5184, GroupBox, "Socket Communication", 3, 3, 180, 278},
    label(5122, "PC-IP:", 9, upperRow(0), 30),
    dropDown(5026, 42, upperRow(0), 135),
    {0, EtchedLine, "", 9, 33, 168, 1},
    {5150, TreeView, "", 9, 38, 168, 202},
    label(5153, "Sort:", 9, 246, 30),
    dropDown(5152, 42, 246, 135),
    defaultButton(5064, "Search", 9, 262, 80),
    button(5006, "Connect", 97, 262, 80),

    // Settings: three octet rows, Ethernet mode, DHCP, name, port; Set at the bottom right.
    {5185, GroupBox, "Settings", 187, 3, 190, 145},
    label(5083, "IP:", kNetLabelX, upperRow(0), 58),
    octet(5053, 253, upperRow(0)),
    octet(5052, 283, upperRow(0)),
    octet(5051, 313, upperRow(0)),
    octet(5050, 343, upperRow(0)),
    label(5080, "Netmask:", kNetLabelX, upperRow(1), 58),
    octet(5049, 253, upperRow(1)),
    octet(5048, 283, upperRow(1)),
    octet(5047, 313, upperRow(1)),
    octet(5046, 343, upperRow(1)),
    label(5114, "Gateway:", kNetLabelX, upperRow(2), 58),
    octet(5045, 253, upperRow(2)),
    octet(5044, 283, upperRow(2)),
    octet(5043, 313, upperRow(2)),
    octet(5042, 343, upperRow(2)),
    label(5218, "Ethernet-Mode:", kNetLabelX, upperRow(3), 58),
    dropDown(5217, kNetFieldX, upperRow(3), kNetFieldW),
    checkBox(5054, "Use DHCP", kNetFieldX, upperRow(4), kNetFieldW),
    label(5112, "Name:", kNetLabelX, upperRow(5), 58),
    edit(5034, "?", kNetFieldX, upperRow(5), kNetFieldW, 31),
    label(5113, "Port:", kNetLabelX, upperRow(6), 58),
    {5009, Edit, "0", kNetFieldX, upperRow(6), 40, kRow, 5, InputRule::Range, 0, 65535},
    button(5033, "Set", 320, 128, 50),

    // Device: MAC row, five read-only identity rows, the auto-read box; Reboot / Set MAC
    // at the bottom right (extended view only).
    {5174, GroupBox, "Device", 187, 151, 190, 131},
    label(5082, "MAC:", kNetLabelX, lowerRow(0), 58),
    macByte(5041, 253, lowerRow(0)),
    macByte(5040, 273, lowerRow(0)),
    macByte(5039, 293, lowerRow(0)),
    macByte(5038, 313, lowerRow(0)),
    macByte(5037, 333, lowerRow(0)),
    macByte(5036, 353, lowerRow(0)),
    label(5116, "Serial No.:", kNetLabelX, lowerRow(1), 58),
    // Limited like the octet edits but never checked: it shows what the module sends.
    edit(5075, "0", kNetFieldX, lowerRow(1), kNetFieldW, 3, ReadOnly),
    label(5123, "Module Info:", kNetLabelX, lowerRow(2), 58),
    edit(5173, "?", kNetFieldX, lowerRow(2), kNetFieldW, 0, ReadOnly),
    label(5149, "Typ:", kNetLabelX, lowerRow(3), 58),
    edit(5175, "?", kNetFieldX, lowerRow(3), kNetFieldW, 0, ReadOnly),
    label(5148, "Revision", kNetLabelX, lowerRow(4), 58),
    edit(5177, "?", kNetFieldX, lowerRow(4), kNetFieldW, 0, ReadOnly),
    label(5147, "Firma:", kNetLabelX, lowerRow(5), 58),
    edit(5176, "?", kNetFieldX, lowerRow(5), kNetFieldW, 0, ReadOnly),
    checkBox(5192, "Read settings automatically", kNetLabelX, lowerRow(6), 177, Checked),
    button(5035, "Reboot", 276, 264, 45, kCompact),
    button(5066, "Set MAC", 325, 264, 45, kCompact),

    // Data Logger: logger row, clock source, PC time, manual entry with zone, device
    // clock, device zone under the zone combo, DST switch; group Read / Set at the bottom.
    {5118, GroupBox, "Data Logger", 381, 3, 275, 145},
    checkBox(5199, "active", kLogLabelX, upperRow(0), 56),
    label(5102, "Log-Time:", kLogFieldX, upperRow(0), 40),
    dropDown(5103, 491, upperRow(0), 36),
    rowButton(5090, "Read", kReadX, upperRow(0)),
    rowButton(5106, "Set", kSetX, upperRow(0)),
    checkBox(5160, "Use PC time to set RTC", kLogLabelX, upperRow(1), 140, Checked),
    label(5105, "PC Local Time:", kLogLabelX, upperRow(2), 60),
    label(5120, "?", kLogFieldX, upperRow(2), 201),
    label(5154, "Enter Time:", kLogLabelX, upperRow(3), 60),
    {5159, Edit, "00:00:00 ", kLogFieldX, upperRow(3), 42, kRow, 9, InputRule::Time},
    edit(5214, "01.01.10 ", 495, upperRow(3), 42),
    rightLabel(5158, "Timezone:", 541, upperRow(3), 44),
    dropDown(5156, 589, upperRow(3), 61),
    label(5181, "ZEK LocalTime:", kLogLabelX, upperRow(4), 60),
    edit(5182, "?", kLogFieldX, upperRow(4), 88, 0, Disabled),
    rowButton(5089, "Read", kReadX, upperRow(4)),
    rowButton(5110, "Set", kSetX, upperRow(4)),
    rightLabel(5216, "Device time zone:", 471, upperRow(5), 114),
    label(5215, "?", 589, upperRow(5), 61),
    checkBox(5124, "Automatic DST", kLogLabelX, upperRow(6), 100),
    rowButton(5140, "Read", kReadX, upperRow(6)),
    rowButton(5135, "Set", kSetX, upperRow(6)),
    button(5196, "Read", 546, 128, 50),
    button(5195, "Set", 600, 128, 50),

    // SNMP: three trap receiver rows, location row; group Read / Set at the bottom.
    {5178, GroupBox, "SNMP", 381, 151, 275, 102},
    checkBox(5170, "Trap-IP1:", kLogLabelX, lowerRow(0), 58),
    octet(5101, 449, lowerRow(0)),
    octet(5100, 479, lowerRow(0)),
    octet(5099, 509, lowerRow(0)),
    octet(5098, 539, lowerRow(0)),
    rowButton(5086, "Read", kReadX, lowerRow(0)),
    rowButton(5107, "Set", kSetX, lowerRow(0)),
    checkBox(5171, "Trap-IP2:", kLogLabelX, lowerRow(1), 58),
    octet(5097, 449, lowerRow(1)),
    octet(5096, 479, lowerRow(1)),
    octet(5095, 509, lowerRow(1)),
    octet(5094, 539, lowerRow(1)),
    rowButton(5088, "Read", kReadX, lowerRow(1)),
    rowButton(5108, "Set", kSetX, lowerRow(1)),
    checkBox(5172, "Trap-IP3:", kLogLabelX, lowerRow(2), 58),
    octet(5191, 449, lowerRow(2)),
    octet(5093, 479, lowerRow(2)),
    octet(5092, 509, lowerRow(2)),
    octet(5091, 539, lowerRow(2)),
    rowButton(5087, "Read", kReadX, lowerRow(2)),
    rowButton(5109, "Set", kSetX, lowerRow(2)),
    label(5203, "SNMP-Location:", kLogLabelX, lowerRow(3), 60),
    edit(5200, "?", kLogFieldX, lowerRow(3), 137, 32),
    rowButton(5202, "Read", kReadX, lowerRow(3)),
    rowButton(5201, "Set", kSetX, lowerRow(3)),
    button(5197, "Read", 546, 234, 50),
    button(5198, "Set", 600, 234, 50),

    // Below the groups: the view button (its top fixes the compact cut and the gauge),
    // the logo placeholder, and the bitmap static parked off the dialog.
    button(5065, ">>", 381, 277, 40, Hidden),
    button(5220, "Logo", 531, 277, 40, Hidden),
    {5059, BitmapStatic, "", -272, 240, 133, 22, 0, InputRule::None, 0, 0, Hidden},

    // TCP/IP Debug Send/Receive: two traffic rows with the state text and Clear to
    // their right, the log list below.
    {5003, GroupBox, "TCP/IP Debug Send/Receive", 4, 296, 373, 178},
    {5015, Text, "Receive:", 8, 311, 32, kLabel},
    {5014, TextRight, "Baudrate", 42, 311, 40, kLabel},
    {5022, Text, "Bytes/s", 86, 311, 30, kLabel},
    {5019, Text, "Total:", 122, 311, 24, kLabel},
    {5013, TextRight, "Gesamt", 148, 311, 48, kLabel},
    {0, Text, "Bytes", 200, 311, 24, kLabel},
    {5016, Text, "Send:", 8, 322, 32, kLabel},
    {5011, TextRight, "Baudrate", 42, 322, 40, kLabel},
    {5018, Text, "Bytes/s", 86, 322, 30, kLabel},
    {5020, Text, "Total:", 122, 322, 24, kLabel},
    {5012, TextRight, "Gesamt Out", 148, 322, 48, kLabel},
    {5023, Text, "Bytes", 200, 322, 24, kLabel},
    {5005, Text, "State: Idle", 230, 311, 88, kLabel},
    defaultButton(5025, "Clear", 322, 310, 50),
    {5008, PushButton, "Clear", 270, 320, 48, kRow, 0, InputRule::None, 0, 0, Hidden},
    {5206, GlyphButton, "", 230, 320, 36, kRow, 0, InputRule::None, 0, 0, Hidden | Disabled},
    {5010, ListBox, "", 8, 333, 364, 131, 0, InputRule::None, 0, 0, FixedFont},

    // Debug && Test: software row, feature letters with the language list, website
    // buttons, EEPROM row, the two DST rule rows (label, preview, Read / Set above
    // the four rule combos), the UTC rows; the device list behind the tree is parked
    // hidden at the bottom.
    {0, GroupBox, "Debug && Test", 380, 296, 278, 212},
    label(5111, "Software:", kDbgX, 310, 40, kCompact),
    label(5078, "?", 428, 310, 190, kCompact),
    rowButton(5077, "Read", 624, 310),
    checkBox(5213, "L", kDbgX, 326, 22),
    checkBox(5212, "T", kDbgX + 24, 326, 22),
    checkBox(5211, "S", kDbgX + 48, 326, 22),
    checkBox(5210, "H", kDbgX + 72, 326, 22),
    checkBox(5209, "X", kDbgX + 96, 326, 22),
    checkBox(5208, "D", kDbgX + 120, 326, 22),
    dropDown(5205, 552, 326, 100),
    button(5193, "Technical Website", kDbgX, 342, 86, kCompact),
    button(5194, "User Website", 476, 342, 86, kCompact),
    button(5207, "Holvek Website", 566, 342, 86),
    label(0, "EEPROM address:", kDbgX, 362, 62),
    {5067, Edit, "", 450, 362, 24, kRow, 3, InputRule::Hex},
    label(0, "Value:", 482, 362, 26),
    {5069, Edit, "", 510, 362, 20, kRow, 2, InputRule::Hex},
    defaultButton(5068, "Set", 612, 361, 40),
    {0, EtchedLine, "", kDbgX, 381, kDbgRight - kDbgX, 1},
    label(5125, "Start DST:", kDbgX, 388, 40),
    label(5141, "?", 428, 388, 158),
    rowButton(5139, "Read", 592, 388),
    rowButton(5137, "Set", 624, 388),
    dropDown(5133, 428, 402, 48),
    dropDown(5127, 480, 402, 60),
    dropDown(5130, 544, 402, 60),
    dropDown(5131, 608, 402, 44),
    label(5126, "Stop DST:", kDbgX, 420, 40),
    label(5142, "?", 428, 420, 158),
    rowButton(5138, "Read", 592, 420),
    rowButton(5136, "Set", 624, 420),
    dropDown(5134, 428, 434, 48),
    dropDown(5128, 480, 434, 60),
    dropDown(5129, 544, 434, 60),
    dropDown(5132, 608, 434, 44),
    {5183, EtchedLine, "", kDbgX, 453, kDbgRight - kDbgX, 1},
    label(5180, "ZEK UTC Time:", kDbgX, 460, 56, kCompact),
    edit(5179, "?", 444, 460, 100, 0, ReadOnly | kCompact),
    label(5121, "PC UTC Time:", kDbgX, 476, 56, kCompact),
    label(5119, "?", 444, 476, 150, kCompact),
    dropDown(5060, kDbgX, 490, 100, Hidden),
};

constexpr bool idsAreUnique() {
    const std::span<const ControlSpec> all(kInventory);
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (all[i].id != 0 && all[i].id == all[j].id)
                return false;
        }
    }
    return true;
}
static_assert(idsAreUnique(), "every control ID appears once");

} // namespace

std::span<const ControlSpec> controlInventory() {
    return kInventory;
}

const ControlSpec* findControlSpec(int id) {
    if (id == 0)
        return nullptr;
    for (const ControlSpec& spec : kInventory) {
        if (spec.id == id)
            return &spec;
    }
    return nullptr;
}

} // namespace zek
