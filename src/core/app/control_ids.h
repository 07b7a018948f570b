#pragma once

#include <array>

// Every control of the main dialog by name. The value is the control's resource ID, which
// is also its objectName, so code, tests and pictures find the same control by either.
// Groups of controls that are handled alike are declared once here as row tables.
namespace zek::ctl {

// Socket Communication
inline constexpr int SocketGroup = 5184;
inline constexpr int PcIpLabel = 5122;
inline constexpr int PcIpList = 5026;
inline constexpr int Tree = 5150;
inline constexpr int SortLabel = 5153;
inline constexpr int SortList = 5152;
inline constexpr int Search = 5064;
inline constexpr int Connect = 5006;

// Settings
inline constexpr int SettingsGroup = 5185;
inline constexpr int IpLabel = 5083;
inline constexpr int NetmaskLabel = 5080;
inline constexpr int GatewayLabel = 5114;
inline constexpr int EthModeLabel = 5218;
inline constexpr int EthModeList = 5217;
inline constexpr int UseDhcp = 5054;
inline constexpr int NameLabel = 5112;
inline constexpr int NameEdit = 5034;
inline constexpr int PortLabel = 5113;
inline constexpr int PortEdit = 5009;
inline constexpr int SetValues = 5033;

// Device
inline constexpr int DeviceGroup = 5174;
inline constexpr int MacLabel = 5082;
inline constexpr int SerialLabel = 5116;
inline constexpr int SerialEdit = 5075;
inline constexpr int ModuleInfoLabel = 5123;
inline constexpr int ModuleInfo = 5173;
inline constexpr int ModuleTypLabel = 5149;
inline constexpr int ModuleTyp = 5175;
inline constexpr int ModuleRevisionLabel = 5148;
inline constexpr int ModuleRevision = 5177;
inline constexpr int ModuleFirmaLabel = 5147;
inline constexpr int ModuleFirma = 5176;
inline constexpr int AutoRead = 5192;
inline constexpr int Reboot = 5035;
inline constexpr int SetMac = 5066;

// Data Logger
inline constexpr int LoggerGroup = 5118;
inline constexpr int LoggerActive = 5199;
inline constexpr int LogTimeLabel = 5102;
inline constexpr int LogTimeList = 5103;
inline constexpr int LoggerRead = 5090;
inline constexpr int LoggerSet = 5106;
inline constexpr int UsePcTime = 5160;
inline constexpr int PcLocalLabel = 5105;
inline constexpr int PcLocalTime = 5120;
inline constexpr int EnterTimeLabel = 5154;
inline constexpr int TimeEdit = 5159;
inline constexpr int DateEdit = 5214;
inline constexpr int ZoneLabel = 5158;
inline constexpr int ZoneList = 5156;
inline constexpr int ZekLocalLabel = 5181;
inline constexpr int ZekLocalTime = 5182;
inline constexpr int ClockRead = 5089;
inline constexpr int ClockSet = 5110;
inline constexpr int DeviceZoneLabel = 5216;
inline constexpr int DeviceZone = 5215;
inline constexpr int AutomaticDst = 5124;
inline constexpr int DstUseRead = 5140;
inline constexpr int DstUseSet = 5135;
inline constexpr int LoggerGroupRead = 5196;
inline constexpr int LoggerGroupSet = 5195;

// SNMP
inline constexpr int SnmpGroup = 5178;
inline constexpr int SnmpLocationLabel = 5203;
inline constexpr int SnmpLocation = 5200;
inline constexpr int SnmpLocationRead = 5202;
inline constexpr int SnmpLocationSet = 5201;
inline constexpr int SnmpGroupRead = 5197;
inline constexpr int SnmpGroupSet = 5198;

// Below the groups
inline constexpr int ViewButton = 5065;
inline constexpr int LogoPlace = 5220;
inline constexpr int BitmapStatic = 5059;
// The progress gauge is no inventory control; it is placed from the view button.
inline constexpr int Gauge = 1500;

// TCP/IP Debug Send/Receive
inline constexpr int DebugGroup = 5003;
inline constexpr int ReceiveLabel = 5015;
inline constexpr int ReceiveRate = 5014;
inline constexpr int ReceiveRateUnit = 5022;
inline constexpr int ReceiveTotalLabel = 5019;
inline constexpr int ReceiveTotal = 5013;
inline constexpr int SendLabel = 5016;
inline constexpr int SendRate = 5011;
inline constexpr int SendRateUnit = 5018;
inline constexpr int SendTotalLabel = 5020;
inline constexpr int SendTotal = 5012;
inline constexpr int SendTotalUnit = 5023;
inline constexpr int StateText = 5005;
inline constexpr int ClearLog = 5025;
inline constexpr int ClearHidden = 5008;
inline constexpr int GlyphButton = 5206;
inline constexpr int LogList = 5010;

// Debug && Test
inline constexpr int SoftwareLabel = 5111;
inline constexpr int SoftwareText = 5078;
inline constexpr int SoftwareRead = 5077;
inline constexpr int LanguageList = 5205;
inline constexpr int TechnicalWebsite = 5193;
inline constexpr int UserWebsite = 5194;
inline constexpr int MakerWebsite = 5207;
inline constexpr int EepromAddress = 5067;
inline constexpr int EepromValue = 5069;
inline constexpr int EepromSet = 5068;
inline constexpr int DstStartLabel = 5125;
inline constexpr int DstStopLabel = 5126;
inline constexpr int DstLine = 5183;
inline constexpr int ZekUtcLabel = 5180;
inline constexpr int ZekUtcTime = 5179;
inline constexpr int PcUtcLabel = 5121;
inline constexpr int PcUtcTime = 5119;
inline constexpr int MacList = 5060;

// Four edits of one dotted address, left to right.
using OctetEdits = std::array<int, 4>;
inline constexpr OctetEdits kIpEdits = {5053, 5052, 5051, 5050};
inline constexpr OctetEdits kNetmaskEdits = {5049, 5048, 5047, 5046};
inline constexpr OctetEdits kGatewayEdits = {5045, 5044, 5043, 5042};
// The six bytes of the MAC row, left to right.
inline constexpr std::array<int, 6> kMacEdits = {5041, 5040, 5039, 5038, 5037, 5036};

// The module's identity fields, filled by the session and reset to "?".
inline constexpr std::array<int, 4> kModuleInfoEdits = {ModuleInfo, ModuleTyp, ModuleRevision, ModuleFirma};

// The controls that choose a module; locked while a session is not idle.
inline constexpr std::array<int, 6> kSelectionControls = {MacList,  Search,   Tree,
                                                          SortList, PcIpList, AutoRead};

// One SNMP trap receiver row.
struct TrapRow {
    int checkBox;
    OctetEdits edits;
    int readButton;
    int setButton;
};
inline constexpr std::array<TrapRow, 3> kTrapRows = {{
    {5170, {5101, 5100, 5099, 5098}, 5086, 5107},
    {5171, {5097, 5096, 5095, 5094}, 5088, 5108},
    {5172, {5191, 5093, 5092, 5091}, 5087, 5109},
}};

// One daylight-saving rule row: its label and preview, its Read and Set buttons, and the
// occurrence, weekday, month and hour lists.
struct DstRuleControls {
    int label;
    int preview;
    int readButton;
    int setButton;
    int week;
    int weekday;
    int month;
    int hour;
    constexpr std::array<int, 4> lists() const { return {week, weekday, month, hour}; }
};
inline constexpr DstRuleControls kDstStartRow = {DstStartLabel, 5141, 5139, 5137, 5133, 5127, 5130, 5131};
inline constexpr DstRuleControls kDstStopRow = {DstStopLabel, 5142, 5138, 5136, 5134, 5128, 5129, 5132};
inline constexpr std::array<DstRuleControls, 2> kDstRuleRows = {kDstStartRow, kDstStopRow};

// A capability letter and the check box that shows it.
struct FeatureLetter {
    char letter;
    int checkBox;
};
inline constexpr std::array<FeatureLetter, 6> kFeatureLetters = {
    {{'L', 5213}, {'T', 5212}, {'S', 5211}, {'H', 5210}, {'X', 5209}, {'D', 5208}}};

} // namespace zek::ctl

// The controls of the clock's small dialogs, each declared in core/app/dialog_inventories.h.
namespace zek::dlg {

// DST Settings (8000): one row per rule, in the main window's order of lists.
struct DstDialogRow {
    int label;
    int preview;
    int week;
    int weekday;
    int month;
    int hour;
    constexpr std::array<int, 4> lists() const { return {week, weekday, month, hour}; }
};
inline constexpr int DstSettings = 8000;
inline constexpr DstDialogRow kDstStartRow = {8011, 8012, 8008, 8007, 8006, 8005};
inline constexpr DstDialogRow kDstStopRow = {8010, 8013, 8004, 8003, 8002, 8001};
inline constexpr std::array<DstDialogRow, 2> kDstRows = {kDstStartRow, kDstStopRow};
inline constexpr int DstSet = 8009;

// Ask DST Settings (8350): which of the twice-occurring hours is meant.
inline constexpr int AskDst = 8350;
inline constexpr int AskDstGroup = 8351;
inline constexpr int AskDstSummer = 8352;
inline constexpr int AskDstWinter = 8353;
inline constexpr int AskDstSet = 8354;

// Ask Invalid Hour (8400): the skipped hour is refused.
inline constexpr int AskInvalidHour = 8400;
inline constexpr int AskInvalidHourSet = 8401;
inline constexpr int AskInvalidHourText = 8402;

// Date (8050): three lists, Set, and two sets of 31 day buttons in the same cells, the
// plain ones hidden.
inline constexpr int Date = 8050;
inline constexpr int DateDay = 8051;
inline constexpr int DateMonth = 8052;
inline constexpr int DateYear = 8053;
inline constexpr int DateSet = 8054;
inline constexpr int kDayButtonFirst = 8140;
inline constexpr int kPlainDayButtonFirst = 8100;
// Day 1 .. 31.
constexpr int dayButton(int day) {
    return kDayButtonFirst + day - 1;
}
constexpr int plainDayButton(int day) {
    return kPlainDayButtonFirst + day - 1;
}

// About (5190): the product picture, the maker's logo, the version and copyright lines, OK.
inline constexpr int About = 5190;
inline constexpr int AboutPicture = 5219;
inline constexpr int AboutLogo = 101;
inline constexpr int AboutVersion = 5189;
inline constexpr int AboutCopyright = 5188;
inline constexpr int AboutOk = 1;

} // namespace zek::dlg

// The frame's menu commands.
namespace zek::cmd {
inline constexpr int About = 5301;
inline constexpr int FlyOver = 5303;
inline constexpr int Manual = 5304;
inline constexpr int Website = 5305;
inline constexpr int Exit = 5306;
// Language menu entry k carries LanguageFirst + k.
inline constexpr int LanguageFirst = 5310;
} // namespace zek::cmd
