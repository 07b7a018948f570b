#include "core/app/control_inventory.h"

#include "core/app/control_ids.h"

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
    {ctl::SocketGroup, GroupBox, "Socket Communication", 3, 3, 180, 278},
    label(ctl::PcIpLabel, "PC-IP:", 9, upperRow(0), 30),
    dropDown(ctl::PcIpList, 42, upperRow(0), 135),
    {0, EtchedLine, "", 9, 33, 168, 1},
    {ctl::Tree, TreeView, "", 9, 38, 168, 202},
    label(ctl::SortLabel, "Sort:", 9, 246, 30),
    dropDown(ctl::SortList, 42, 246, 135),
    defaultButton(ctl::Search, "Search", 9, 262, 80),
    button(ctl::Connect, "Connect", 97, 262, 80),

    // Settings: three octet rows, Ethernet mode, DHCP, name, port; Set at the bottom right.
    {ctl::SettingsGroup, GroupBox, "Settings", 187, 3, 190, 145},
    label(ctl::IpLabel, "IP:", kNetLabelX, upperRow(0), 58),
    octet(ctl::kIpEdits[0], 253, upperRow(0)),
    octet(ctl::kIpEdits[1], 283, upperRow(0)),
    octet(ctl::kIpEdits[2], 313, upperRow(0)),
    octet(ctl::kIpEdits[3], 343, upperRow(0)),
    label(ctl::NetmaskLabel, "Netmask:", kNetLabelX, upperRow(1), 58),
    octet(ctl::kNetmaskEdits[0], 253, upperRow(1)),
    octet(ctl::kNetmaskEdits[1], 283, upperRow(1)),
    octet(ctl::kNetmaskEdits[2], 313, upperRow(1)),
    octet(ctl::kNetmaskEdits[3], 343, upperRow(1)),
    label(ctl::GatewayLabel, "Gateway:", kNetLabelX, upperRow(2), 58),
    octet(ctl::kGatewayEdits[0], 253, upperRow(2)),
    octet(ctl::kGatewayEdits[1], 283, upperRow(2)),
    octet(ctl::kGatewayEdits[2], 313, upperRow(2)),
    octet(ctl::kGatewayEdits[3], 343, upperRow(2)),
    label(ctl::EthModeLabel, "Ethernet-Mode:", kNetLabelX, upperRow(3), 58),
    dropDown(ctl::EthModeList, kNetFieldX, upperRow(3), kNetFieldW),
    checkBox(ctl::UseDhcp, "Use DHCP", kNetFieldX, upperRow(4), kNetFieldW),
    label(ctl::NameLabel, "Name:", kNetLabelX, upperRow(5), 58),
    edit(ctl::NameEdit, "?", kNetFieldX, upperRow(5), kNetFieldW, 31),
    label(ctl::PortLabel, "Port:", kNetLabelX, upperRow(6), 58),
    {ctl::PortEdit, Edit, "0", kNetFieldX, upperRow(6), 40, kRow, 5, InputRule::Range, 0, 65535},
    button(ctl::SetValues, "Set", 320, 128, 50),

    // Device: MAC row, five read-only identity rows, the auto-read box; Reboot / Set MAC
    // at the bottom right (extended view only).
    {ctl::DeviceGroup, GroupBox, "Device", 187, 151, 190, 131},
    label(ctl::MacLabel, "MAC:", kNetLabelX, lowerRow(0), 58),
    macByte(ctl::kMacEdits[0], 253, lowerRow(0)),
    macByte(ctl::kMacEdits[1], 273, lowerRow(0)),
    macByte(ctl::kMacEdits[2], 293, lowerRow(0)),
    macByte(ctl::kMacEdits[3], 313, lowerRow(0)),
    macByte(ctl::kMacEdits[4], 333, lowerRow(0)),
    macByte(ctl::kMacEdits[5], 353, lowerRow(0)),
    label(ctl::SerialLabel, "Serial No.:", kNetLabelX, lowerRow(1), 58),
    // Limited like the octet edits but never checked: it shows what the module sends.
    edit(ctl::SerialEdit, "0", kNetFieldX, lowerRow(1), kNetFieldW, 3, ReadOnly),
    label(ctl::ModuleInfoLabel, "Module Info:", kNetLabelX, lowerRow(2), 58),
    edit(ctl::ModuleInfo, "?", kNetFieldX, lowerRow(2), kNetFieldW, 0, ReadOnly),
    label(ctl::ModuleTypLabel, "Typ:", kNetLabelX, lowerRow(3), 58),
    edit(ctl::ModuleTyp, "?", kNetFieldX, lowerRow(3), kNetFieldW, 0, ReadOnly),
    label(ctl::ModuleRevisionLabel, "Revision", kNetLabelX, lowerRow(4), 58),
    edit(ctl::ModuleRevision, "?", kNetFieldX, lowerRow(4), kNetFieldW, 0, ReadOnly),
    label(ctl::ModuleFirmaLabel, "Firma:", kNetLabelX, lowerRow(5), 58),
    edit(ctl::ModuleFirma, "?", kNetFieldX, lowerRow(5), kNetFieldW, 0, ReadOnly),
    checkBox(ctl::AutoRead, "Read settings automatically", kNetLabelX, lowerRow(6), 177, Checked),
    button(ctl::Reboot, "Reboot", 276, 264, 45, kCompact),
    button(ctl::SetMac, "Set MAC", 325, 264, 45, kCompact),

    // Data Logger: logger row, clock source, PC time, manual entry with zone, device
    // clock, device zone under the zone combo, DST switch; group Read / Set at the bottom.
    {ctl::LoggerGroup, GroupBox, "Data Logger", 381, 3, 275, 145},
    checkBox(ctl::LoggerActive, "active", kLogLabelX, upperRow(0), 56),
    label(ctl::LogTimeLabel, "Log-Time:", kLogFieldX, upperRow(0), 40),
    dropDown(ctl::LogTimeList, 491, upperRow(0), 36),
    rowButton(ctl::LoggerRead, "Read", kReadX, upperRow(0)),
    rowButton(ctl::LoggerSet, "Set", kSetX, upperRow(0)),
    checkBox(ctl::UsePcTime, "Use PC time to set RTC", kLogLabelX, upperRow(1), 140, Checked),
    label(ctl::PcLocalLabel, "PC Local Time:", kLogLabelX, upperRow(2), 60),
    label(ctl::PcLocalTime, "?", kLogFieldX, upperRow(2), 201),
    label(ctl::EnterTimeLabel, "Enter Time:", kLogLabelX, upperRow(3), 60),
    {ctl::TimeEdit, Edit, "00:00:00 ", kLogFieldX, upperRow(3), 42, kRow, 9, InputRule::Time},
    edit(ctl::DateEdit, "01.01.10 ", 495, upperRow(3), 42),
    rightLabel(ctl::ZoneLabel, "Timezone:", 541, upperRow(3), 44),
    dropDown(ctl::ZoneList, 589, upperRow(3), 61),
    label(ctl::ZekLocalLabel, "ZEK LocalTime:", kLogLabelX, upperRow(4), 60),
    edit(ctl::ZekLocalTime, "?", kLogFieldX, upperRow(4), 88, 0, Disabled),
    rowButton(ctl::ClockRead, "Read", kReadX, upperRow(4)),
    rowButton(ctl::ClockSet, "Set", kSetX, upperRow(4)),
    rightLabel(ctl::DeviceZoneLabel, "Device time zone:", 471, upperRow(5), 114),
    label(ctl::DeviceZone, "?", 589, upperRow(5), 61),
    checkBox(ctl::AutomaticDst, "Automatic DST", kLogLabelX, upperRow(6), 100),
    rowButton(ctl::DstUseRead, "Read", kReadX, upperRow(6)),
    rowButton(ctl::DstUseSet, "Set", kSetX, upperRow(6)),
    button(ctl::LoggerGroupRead, "Read", 546, 128, 50),
    button(ctl::LoggerGroupSet, "Set", 600, 128, 50),

    // SNMP: three trap receiver rows, location row; group Read / Set at the bottom.
    {ctl::SnmpGroup, GroupBox, "SNMP", 381, 151, 275, 102},
    checkBox(ctl::kTrapRows[0].checkBox, "Trap-IP1:", kLogLabelX, lowerRow(0), 58),
    octet(ctl::kTrapRows[0].edits[0], 449, lowerRow(0)),
    octet(ctl::kTrapRows[0].edits[1], 479, lowerRow(0)),
    octet(ctl::kTrapRows[0].edits[2], 509, lowerRow(0)),
    octet(ctl::kTrapRows[0].edits[3], 539, lowerRow(0)),
    rowButton(ctl::kTrapRows[0].readButton, "Read", kReadX, lowerRow(0)),
    rowButton(ctl::kTrapRows[0].setButton, "Set", kSetX, lowerRow(0)),
    checkBox(ctl::kTrapRows[1].checkBox, "Trap-IP2:", kLogLabelX, lowerRow(1), 58),
    octet(ctl::kTrapRows[1].edits[0], 449, lowerRow(1)),
    octet(ctl::kTrapRows[1].edits[1], 479, lowerRow(1)),
    octet(ctl::kTrapRows[1].edits[2], 509, lowerRow(1)),
    octet(ctl::kTrapRows[1].edits[3], 539, lowerRow(1)),
    rowButton(ctl::kTrapRows[1].readButton, "Read", kReadX, lowerRow(1)),
    rowButton(ctl::kTrapRows[1].setButton, "Set", kSetX, lowerRow(1)),
    checkBox(ctl::kTrapRows[2].checkBox, "Trap-IP3:", kLogLabelX, lowerRow(2), 58),
    octet(ctl::kTrapRows[2].edits[0], 449, lowerRow(2)),
    octet(ctl::kTrapRows[2].edits[1], 479, lowerRow(2)),
    octet(ctl::kTrapRows[2].edits[2], 509, lowerRow(2)),
    octet(ctl::kTrapRows[2].edits[3], 539, lowerRow(2)),
    rowButton(ctl::kTrapRows[2].readButton, "Read", kReadX, lowerRow(2)),
    rowButton(ctl::kTrapRows[2].setButton, "Set", kSetX, lowerRow(2)),
    label(ctl::SnmpLocationLabel, "SNMP-Location:", kLogLabelX, lowerRow(3), 60),
    edit(ctl::SnmpLocation, "?", kLogFieldX, lowerRow(3), 137, 32),
    rowButton(ctl::SnmpLocationRead, "Read", kReadX, lowerRow(3)),
    rowButton(ctl::SnmpLocationSet, "Set", kSetX, lowerRow(3)),
    button(ctl::SnmpGroupRead, "Read", 546, 234, 50),
    button(ctl::SnmpGroupSet, "Set", 600, 234, 50),

    // Below the groups: the view button (its top fixes the compact cut and the gauge),
    // the logo placeholder, and the bitmap static parked off the dialog.
    button(ctl::ViewButton, ">>", 381, 277, 40, Hidden),
    button(ctl::LogoPlace, "Logo", 531, 277, 40, Hidden),
    {ctl::BitmapStatic, BitmapStatic, "", -272, 240, 133, 22, 0, InputRule::None, 0, 0, Hidden},

    // TCP/IP Debug Send/Receive: two traffic rows with the state text and Clear to
    // their right, the log list below.
    {ctl::DebugGroup, GroupBox, "TCP/IP Debug Send/Receive", 4, 296, 373, 178},
    {ctl::ReceiveLabel, Text, "Receive:", 8, 311, 32, kLabel},
    {ctl::ReceiveRate, TextRight, "Baudrate", 42, 311, 40, kLabel},
    {ctl::ReceiveRateUnit, Text, "Bytes/s", 86, 311, 30, kLabel},
    {ctl::ReceiveTotalLabel, Text, "Total:", 122, 311, 24, kLabel},
    {ctl::ReceiveTotal, TextRight, "Gesamt", 148, 311, 48, kLabel},
    {0, Text, "Bytes", 200, 311, 24, kLabel},
    {ctl::SendLabel, Text, "Send:", 8, 322, 32, kLabel},
    {ctl::SendRate, TextRight, "Baudrate", 42, 322, 40, kLabel},
    {ctl::SendRateUnit, Text, "Bytes/s", 86, 322, 30, kLabel},
    {ctl::SendTotalLabel, Text, "Total:", 122, 322, 24, kLabel},
    {ctl::SendTotal, TextRight, "Gesamt Out", 148, 322, 48, kLabel},
    {ctl::SendTotalUnit, Text, "Bytes", 200, 322, 24, kLabel},
    {ctl::StateText, Text, "State: Idle", 230, 311, 88, kLabel},
    defaultButton(ctl::ClearLog, "Clear", 322, 310, 50),
    {ctl::ClearHidden, PushButton, "Clear", 270, 320, 48, kRow, 0, InputRule::None, 0, 0, Hidden},
    {ctl::GlyphButton, GlyphButton, "", 230, 320, 36, kRow, 0, InputRule::None, 0, 0, Hidden | Disabled},
    {ctl::LogList, ListBox, "", 8, 333, 364, 131, 0, InputRule::None, 0, 0, FixedFont},

    // Debug && Test: software row, feature letters with the language list, website
    // buttons, EEPROM row, the two DST rule rows (label, preview, Read / Set above
    // the four rule combos), the UTC rows; the device list behind the tree is parked
    // hidden at the bottom.
    {0, GroupBox, "Debug && Test", 380, 296, 278, 212},
    label(ctl::SoftwareLabel, "Software:", kDbgX, 310, 40, kCompact),
    label(ctl::SoftwareText, "?", 428, 310, 190, kCompact),
    rowButton(ctl::SoftwareRead, "Read", 624, 310),
    checkBox(ctl::kFeatureLetters[0].checkBox, "L", kDbgX, 326, 22),
    checkBox(ctl::kFeatureLetters[1].checkBox, "T", kDbgX + 24, 326, 22),
    checkBox(ctl::kFeatureLetters[2].checkBox, "S", kDbgX + 48, 326, 22),
    checkBox(ctl::kFeatureLetters[3].checkBox, "H", kDbgX + 72, 326, 22),
    checkBox(ctl::kFeatureLetters[4].checkBox, "X", kDbgX + 96, 326, 22),
    checkBox(ctl::kFeatureLetters[5].checkBox, "D", kDbgX + 120, 326, 22),
    dropDown(ctl::LanguageList, 552, 326, 100),
    button(ctl::TechnicalWebsite, "Technical Website", kDbgX, 342, 86, kCompact),
    button(ctl::UserWebsite, "User Website", 476, 342, 86, kCompact),
    button(ctl::MakerWebsite, "Holvek Website", 566, 342, 86),
    label(0, "EEPROM address:", kDbgX, 362, 62),
    {ctl::EepromAddress, Edit, "", 450, 362, 24, kRow, 3, InputRule::Hex},
    label(0, "Value:", 482, 362, 26),
    {ctl::EepromValue, Edit, "", 510, 362, 20, kRow, 2, InputRule::Hex},
    defaultButton(ctl::EepromSet, "Set", 612, 361, 40),
    {0, EtchedLine, "", kDbgX, 381, kDbgRight - kDbgX, 1},
    label(ctl::DstStartLabel, "Start DST:", kDbgX, 388, 40),
    label(ctl::kDstStartRow.preview, "?", 428, 388, 158),
    rowButton(ctl::kDstStartRow.readButton, "Read", 592, 388),
    rowButton(ctl::kDstStartRow.setButton, "Set", 624, 388),
    dropDown(ctl::kDstStartRow.week, 428, 402, 48),
    dropDown(ctl::kDstStartRow.weekday, 480, 402, 60),
    dropDown(ctl::kDstStartRow.month, 544, 402, 60),
    dropDown(ctl::kDstStartRow.hour, 608, 402, 44),
    label(ctl::DstStopLabel, "Stop DST:", kDbgX, 420, 40),
    label(ctl::kDstStopRow.preview, "?", 428, 420, 158),
    rowButton(ctl::kDstStopRow.readButton, "Read", 592, 420),
    rowButton(ctl::kDstStopRow.setButton, "Set", 624, 420),
    dropDown(ctl::kDstStopRow.week, 428, 434, 48),
    dropDown(ctl::kDstStopRow.weekday, 480, 434, 60),
    dropDown(ctl::kDstStopRow.month, 544, 434, 60),
    dropDown(ctl::kDstStopRow.hour, 608, 434, 44),
    {ctl::DstLine, EtchedLine, "", kDbgX, 453, kDbgRight - kDbgX, 1},
    label(ctl::ZekUtcLabel, "ZEK UTC Time:", kDbgX, 460, 56, kCompact),
    edit(ctl::ZekUtcTime, "?", 444, 460, 100, 0, ReadOnly | kCompact),
    label(ctl::PcUtcLabel, "PC UTC Time:", kDbgX, 476, 56, kCompact),
    label(ctl::PcUtcTime, "?", 444, 476, 150, kCompact),
    dropDown(ctl::MacList, kDbgX, 490, 100, Hidden),
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

const DialogTemplate& mainDialog() {
    static constexpr DialogTemplate kMain{kInventory, 659, 509};
    return kMain;
}

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
