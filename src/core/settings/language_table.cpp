#include "core/settings/language_table.h"

#include "core/app/control_ids.h"

#include <algorithm>
#include <cstdio>

namespace zek {

namespace {

constexpr std::string_view kMenu = "GROUPBOX_MENU";
constexpr std::string_view kSocket = "GROUPBOX_SOCKET_COMMUNICATION";
constexpr std::string_view kSettings = "GROUPBOX_SETTINGS";
constexpr std::string_view kTelnet = "GROUPBOX_TELNET";

constexpr LanguageList kSortList{"TXT_TREE_SORT_", 1, 3, {ctl::SortList, 0}, {0, 0}, kProfileTextMax, false};
constexpr LanguageList kModeList{"TXT_ETH_MODE_", 0, 5, {ctl::EthModeList, 0}, {0, 0}, kEthModeNameMax, true};
constexpr LanguageList kMonthLists{
    "TXT_DST_MONTH_", 1,    12, {ctl::kDstStartRow.month, ctl::kDstStopRow.month}, {2, 9},
    kProfileTextMax,  false};
constexpr LanguageList kDayLists{
    "TXT_DST_DAY_",  1,    7, {ctl::kDstStartRow.weekday, ctl::kDstStopRow.weekday}, {6, 6},
    kProfileTextMax, false};
constexpr LanguageList kWeekLists{
    "TXT_DST_NR_", 1, 5, {ctl::kDstStartRow.week, ctl::kDstStopRow.week}, {4, 4}, kProfileTextMax, false};

// The controls of a row that all take one tooltip.
template <std::size_t N> constexpr std::array<int, 6> tipsOf(const std::array<int, N>& ids) {
    static_assert(N <= 6);
    std::array<int, 6> tips{};
    for (std::size_t i = 0; i < N; ++i)
        tips[i] = ids[i];
    return tips;
}

constexpr LanguageKey popupTitle(std::string_view key, int popup) {
    return {kMenu, key, KeyUse::PopupTitle, popup};
}
constexpr LanguageKey menuItem(std::string_view key, int popup, int command) {
    return {kMenu, key, KeyUse::MenuItem, command, {}, kProfileTextMax, popup};
}
constexpr LanguageKey caption(std::string_view section, std::string_view key, int control) {
    return {section, key, KeyUse::Caption, control};
}
constexpr LanguageKey tip(std::string_view section, std::string_view key, int control) {
    return {section, key, KeyUse::Tip, 0, {control}};
}
constexpr LanguageKey both(std::string_view section, std::string_view key, int control) {
    return {section, key, KeyUse::TipAndCaption, control, {control}};
}
constexpr LanguageKey tipsAndLabel(std::string_view section, std::string_view key, std::array<int, 6> tips,
                                   int label) {
    return {section, key, KeyUse::TipAndCaption, label, tips};
}
constexpr LanguageKey trapRow(std::string_view key, const ctl::TrapRow& row) {
    return {kTelnet, key, KeyUse::TipAndRowCaption, row.checkBox, tipsOf(row.edits)};
}
constexpr LanguageKey leaf(std::string_view key, Leaf which) {
    return {kSocket, key, KeyUse::LeafLabel, 0, {}, kLeafLabelMax, 0, which};
}
constexpr LanguageKey stored(std::string_view section, std::string_view key, std::size_t limit) {
    return {section, key, KeyUse::StoredText, 0, {}, limit};
}
constexpr LanguageKey list(std::string_view section, const LanguageList& refilled) {
    return {section, refilled.prefix, KeyUse::ListEntries, 0, {}, refilled.limit, 0, Leaf::Count, &refilled};
}
constexpr LanguageKey connectCaption(std::string_view key) {
    return {kTelnet, key, KeyUse::ConnectCaption, ctl::Connect, {}, kConnectCaptionMax};
}

constexpr LanguageKey kKeys[] = {
    popupTitle("MENU_PROGRAM", 0),
    menuItem("MENU_PROGRAM_EXIT", 0, cmd::Exit),
    popupTitle("MENU_LANGUAGE", 1),
    {kMenu, "", KeyUse::LanguageItems},
    popupTitle("MENU_HELP", 2),
    menuItem("MENU_HELP_HOLVEK_WEBSITE", 2, cmd::Website),
    menuItem("MENU_HELP_MANUAL", 2, cmd::Manual),
    menuItem("MENU_FLYOVER", 2, cmd::FlyOver),
    menuItem("MENU_HELP_ABOUT", 2, cmd::About),

    tip(kSocket, "LISTBOX_PC_IP", ctl::PcIpList),
    tip(kSocket, "TREEVIEW_ZEK", ctl::Tree),
    caption(kSocket, "GROUP_SOCKET_COMMUNICATION", ctl::SocketGroup),
    caption(kSocket, "GROUP_DEVICE", ctl::DeviceGroup),
    caption(kSocket, "TXT_PC_IP", ctl::PcIpLabel),
    {kSocket, "TXT_ZEK_ONLINE", KeyUse::OnlineText, 0, {}, kOnlineTextMax},
    leaf("TXT_TREE_MAC", Leaf::Mac),
    leaf("TXT_TREE_NR", Leaf::Nr),
    leaf("TXT_TREE_IP", Leaf::Ip),
    leaf("TXT_TREE_GATEWAY", Leaf::Gateway),
    leaf("TXT_TREE_NETMASK", Leaf::Netmask),
    leaf("TXT_TREE_DHCP", Leaf::Dhcp),
    stored(kSocket, "TXT_TREE_DHCP_ON", kLeafLabelMax),
    stored(kSocket, "TXT_TREE_DHCP_OFF", kLeafLabelMax),
    leaf("TXT_TREE_NAME", Leaf::Name),
    leaf("TXT_TREE_PORT", Leaf::Port),
    leaf("TXT_TREE_MODE", Leaf::Mode),
    tipsAndLabel(kSocket, "TXT_SORT", {ctl::SortList}, ctl::SortLabel),
    list(kSocket, kSortList),
    both(kSocket, "BUTTON_SEARCH", ctl::Search),

    caption(kSettings, "GROUP_SETTINGS", ctl::SettingsGroup),
    tipsAndLabel(kSettings, "TXT_MAC", tipsOf(ctl::kMacEdits), ctl::MacLabel),
    tipsAndLabel(kSettings, "TXT_SERIAL_NO", {ctl::SerialEdit}, ctl::SerialLabel),
    tipsAndLabel(kSettings, "TXT_IP", tipsOf(ctl::kIpEdits), ctl::IpLabel),
    tipsAndLabel(kSettings, "TXT_NETMASK", tipsOf(ctl::kNetmaskEdits), ctl::NetmaskLabel),
    tipsAndLabel(kSettings, "TXT_GATEWAY", tipsOf(ctl::kGatewayEdits), ctl::GatewayLabel),
    tipsAndLabel(kSettings, "TXT_ETH_MODE", {ctl::EthModeList}, ctl::EthModeLabel),
    list(kSettings, kModeList),
    both(kSettings, "CHECK_USE_DHCP", ctl::UseDhcp),
    tipsAndLabel(kSettings, "TXT_NAME", {ctl::NameEdit}, ctl::NameLabel),
    tipsAndLabel(kSettings, "TXT_PORT", {ctl::PortEdit}, ctl::PortLabel),
    tipsAndLabel(kSettings, "TXT_MODUL_INFO", {ctl::ModuleInfo}, ctl::ModuleInfoLabel),
    tipsAndLabel(kSettings, "TXT_MODUL_TYP", {ctl::ModuleTyp}, ctl::ModuleTypLabel),
    tipsAndLabel(kSettings, "TXT_MODUL_FIRMA", {ctl::ModuleFirma}, ctl::ModuleFirmaLabel),
    tipsAndLabel(kSettings, "TXT_MODUL_REVISION", {ctl::ModuleRevision}, ctl::ModuleRevisionLabel),
    caption(kSettings, "TXT_SOFTWARE", ctl::SoftwareLabel),
    both(kSettings, "BUTTON_READ_SOFTWARE", ctl::SoftwareRead),
    both(kSettings, "BUTTON_REBOOT", ctl::Reboot),
    both(kSettings, "BUTTON_SET_VALUES", ctl::SetValues),
    both(kSettings, "CHECKBOX_AUTOLOAD", ctl::AutoRead),
    both(kSettings, "BUTTON_TECHNICAL_WEBSITE", ctl::TechnicalWebsite),
    both(kSettings, "BUTTON_USER_WEBSITE", ctl::UserWebsite),

    caption(kTelnet, "GROUP_DATALOGGER", ctl::LoggerGroup),
    caption(kTelnet, "GROUP_SNMP", ctl::SnmpGroup),
    both(kTelnet, "CHECKBOX_USE_DATALOGGER", ctl::LoggerActive),
    caption(kTelnet, "TXT_PC_LOCAL", ctl::PcLocalLabel),
    caption(kTelnet, "TXT_PC_UTC", ctl::PcUtcLabel),
    both(kTelnet, "CHECKBOX_USE_PC_TIME", ctl::UsePcTime),
    caption(kTelnet, "TXT_ZEK_TIME_MANUALLY", ctl::EnterTimeLabel),
    caption(kTelnet, "TXT_ZEK_TIME_ZONE", ctl::ZoneLabel),
    tip(kTelnet, "TXT_ZEK_EDIT_TIME", ctl::TimeEdit),
    tip(kTelnet, "TXT_ZEK_EDIT_DATE", ctl::DateEdit),
    stored(kTelnet, "DIALOG_DATE", kDialogTextMax),
    tip(kTelnet, "LISTBOX_TIME_ZONE", ctl::ZoneList),
    tipsAndLabel(kTelnet, "TXT_ZEK_UTC_TIME", {ctl::ZekUtcTime}, ctl::ZekUtcLabel),
    tipsAndLabel(kTelnet, "TXT_ZEK_LOCAL_TIME", {ctl::ZekLocalTime}, ctl::ZekLocalLabel),
    caption(kTelnet, "TXT_LOG_TIME", ctl::LogTimeLabel),
    tip(kTelnet, "LISTBOX_LOG_TIME", ctl::LogTimeList),
    caption(kTelnet, "TXT_DEVICE_TIMEZONE", ctl::DeviceZoneLabel),
    trapRow("TXT_TRAP_IP1", ctl::kTrapRows[0]),
    trapRow("TXT_TRAP_IP2", ctl::kTrapRows[1]),
    trapRow("TXT_TRAP_IP3", ctl::kTrapRows[2]),
    tipsAndLabel(kTelnet, "TXT_SNMP_LOCATION", {ctl::SnmpLocation}, ctl::SnmpLocationLabel),
    tip(kTelnet, "BUTTON_CONNECT_HELP", ctl::Connect),
    connectCaption("BUTTON_CONNECT_CONNECT"),
    connectCaption("BUTTON_CONNECT_CANCEL"),
    connectCaption("BUTTON_CONNECT_DISCONNECT"),
    both(kTelnet, "CHECK_AUTOMATIC_DST", ctl::AutomaticDst),
    stored(kTelnet, "DIALOG_DST", kDialogTextMax),
    caption(kTelnet, "TXT_DST_START", ctl::DstStartLabel),
    tip(kTelnet, "LISTBOX_DST_START_NR", ctl::kDstStartRow.week),
    tip(kTelnet, "LISTBOX_DST_START_DAY", ctl::kDstStartRow.weekday),
    tip(kTelnet, "LISTBOX_DST_START_MONTH", ctl::kDstStartRow.month),
    tip(kTelnet, "LISTBOX_DST_START_HOUR", ctl::kDstStartRow.hour),
    caption(kTelnet, "TXT_DST_STOP", ctl::DstStopLabel),
    tip(kTelnet, "LISTBOX_DST_STOP_NR", ctl::kDstStopRow.week),
    tip(kTelnet, "LISTBOX_DST_STOP_DAY", ctl::kDstStopRow.weekday),
    tip(kTelnet, "LISTBOX_DST_STOP_MONTH", ctl::kDstStopRow.month),
    tip(kTelnet, "LISTBOX_DST_STOP_HOUR", ctl::kDstStopRow.hour),
    list(kTelnet, kMonthLists),
    list(kTelnet, kDayLists),
    list(kTelnet, kWeekLists),
    stored(kTelnet, "DIALOG_ASK_DST", kDialogTextMax),
    stored(kTelnet, "GROUP_ASK_DST", kDialogTextMax),
    stored(kTelnet, "RADIO_ASK_DST_DST", kDialogTextMax),
    stored(kTelnet, "RADIO_ASK_DST_NO_DST", kDialogTextMax),
    stored(kTelnet, "DIALOG_ASK_INVALID_HOUR", kDialogTextMax),
    stored(kTelnet, "BUTTON_ASK_INVALID_HOUR", kDialogTextMax),
    stored(kTelnet, "TXT_ASK_INVALID_HOUR", kDialogTextMax),
    both(kTelnet, "BUTTON_READ_SNMP", ctl::SnmpGroupRead),
    both(kTelnet, "BUTTON_SET_SNMP", ctl::SnmpGroupSet),
    both(kTelnet, "BUTTON_READ_LOGGER", ctl::LoggerGroupRead),
    both(kTelnet, "BUTTON_SET_LOGGER", ctl::LoggerGroupSet),
};

} // namespace

std::string languageNameKey(int number) {
    char key[24];
    std::snprintf(key, sizeof key, "LANG%02d", number);
    return key;
}

std::string languageFileName(int position) {
    return languageNameKey(position + 1) + ".ini";
}

std::string numberedKey(std::string_view prefix, int number) {
    return std::string(prefix) + std::to_string(number);
}

CaptionTip splitCaptionTip(std::string_view value) {
    const std::size_t semicolon = value.find(';');
    if (semicolon == std::string_view::npos)
        return {std::string(value), std::string(value)};
    return {std::string(value.substr(0, semicolon)), std::string(value.substr(semicolon + 1))};
}

std::string_view connectCaptionKey(SessionState state) {
    switch (state) {
    case SessionState::Idle:
        return "BUTTON_CONNECT_CONNECT";
    case SessionState::LookingUp:
    case SessionState::Connecting:
        return "BUTTON_CONNECT_CANCEL";
    case SessionState::Connected:
        return "BUTTON_CONNECT_DISCONNECT";
    }
    return "BUTTON_CONNECT_CONNECT";
}

int keptSelection(int previous, int count, int fallback) {
    const int wanted = previous < 0 ? fallback : previous;
    return count <= 0 ? -1 : std::clamp(wanted, 0, count - 1);
}

std::span<const LanguageKey> languageKeys() {
    return kKeys;
}

std::vector<std::string> keyNames(const LanguageKey& key) {
    std::vector<std::string> names;
    if (key.use == KeyUse::LanguageItems)
        return names;
    if (key.use != KeyUse::ListEntries || key.list == nullptr) {
        names.emplace_back(key.key);
        return names;
    }
    for (int n = 0; n < key.list->count; ++n)
        names.push_back(numberedKey(key.list->prefix, key.list->first + n));
    return names;
}

} // namespace zek
