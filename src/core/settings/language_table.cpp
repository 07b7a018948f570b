#include "core/settings/language_table.h"

#include <algorithm>
#include <cstdio>

namespace zek {

namespace {

constexpr std::string_view kMenu = "GROUPBOX_MENU";
constexpr std::string_view kSocket = "GROUPBOX_SOCKET_COMMUNICATION";
constexpr std::string_view kSettings = "GROUPBOX_SETTINGS";
constexpr std::string_view kTelnet = "GROUPBOX_TELNET";

constexpr LanguageList kSortList{"TXT_TREE_SORT_", 1, 3, {5152, 0}, {0, 0}, kProfileTextMax, false};
constexpr LanguageList kModeList{"TXT_ETH_MODE_", 0, 5, {5217, 0}, {0, 0}, kEthModeNameMax, true};
constexpr LanguageList kMonthLists{"TXT_DST_MONTH_", 1, 12, {5130, 5129}, {2, 9}, kProfileTextMax, false};
constexpr LanguageList kDayLists{"TXT_DST_DAY_", 1, 7, {5127, 5128}, {6, 6}, kProfileTextMax, false};
constexpr LanguageList kWeekLists{"TXT_DST_NR_", 1, 5, {5133, 5134}, {4, 4}, kProfileTextMax, false, true};

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
constexpr LanguageKey trapRow(std::string_view key, std::array<int, 6> edits, int check) {
    return {kTelnet, key, KeyUse::TipAndRowCaption, check, edits};
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
    return {kTelnet, key, KeyUse::ConnectCaption, 5006, {}, kConnectCaptionMax};
}

constexpr LanguageKey kKeys[] = {
    popupTitle("MENU_PROGRAM", 0),
    menuItem("MENU_PROGRAM_EXIT", 0, 5306),
    popupTitle("MENU_LANGUAGE", 1),
    {kMenu, "", KeyUse::LanguageItems},
    popupTitle("MENU_HELP", 2),
    menuItem("MENU_HELP_HOLVEK_WEBSITE", 2, 5305),
    menuItem("MENU_HELP_MANUAL", 2, 5304),
    menuItem("MENU_FLYOVER", 2, 5303),
    menuItem("MENU_HELP_ABOUT", 2, 5301),

    tip(kSocket, "LISTBOX_PC_IP", 5026),
    tip(kSocket, "TREEVIEW_ZEK", 5150),
    caption(kSocket, "GROUP_SOCKET_COMMUNICATION", 5184),
    caption(kSocket, "GROUP_DEVICE", 5174),
    caption(kSocket, "TXT_PC_IP", 5122),
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
    tipsAndLabel(kSocket, "TXT_SORT", {5152}, 5153),
    list(kSocket, kSortList),
    both(kSocket, "BUTTON_SEARCH", 5064),

    caption(kSettings, "GROUP_SETTINGS", 5185),
    tipsAndLabel(kSettings, "TXT_MAC", {5041, 5040, 5039, 5038, 5037, 5036}, 5082),
    tipsAndLabel(kSettings, "TXT_SERIAL_NO", {5075}, 5116),
    tipsAndLabel(kSettings, "TXT_IP", {5053, 5052, 5051, 5050}, 5083),
    tipsAndLabel(kSettings, "TXT_NETMASK", {5049, 5048, 5047, 5046}, 5080),
    tipsAndLabel(kSettings, "TXT_GATEWAY", {5045, 5044, 5043, 5042}, 5114),
    tipsAndLabel(kSettings, "TXT_ETH_MODE", {5217}, 5218),
    list(kSettings, kModeList),
    both(kSettings, "CHECK_USE_DHCP", 5054),
    tipsAndLabel(kSettings, "TXT_NAME", {5034}, 5112),
    tipsAndLabel(kSettings, "TXT_PORT", {5009}, 5113),
    tipsAndLabel(kSettings, "TXT_MODUL_INFO", {5173}, 5123),
    tipsAndLabel(kSettings, "TXT_MODUL_TYP", {5175}, 5149),
    tipsAndLabel(kSettings, "TXT_MODUL_FIRMA", {5176}, 5147),
    tipsAndLabel(kSettings, "TXT_MODUL_REVISION", {5177}, 5148),
    caption(kSettings, "TXT_SOFTWARE", 5111),
    both(kSettings, "BUTTON_READ_SOFTWARE", 5077),
    both(kSettings, "BUTTON_REBOOT", 5035),
    both(kSettings, "BUTTON_SET_VALUES", 5033),
    both(kSettings, "CHECKBOX_AUTOLOAD", 5192),
    both(kSettings, "BUTTON_TECHNICAL_WEBSITE", 5193),
    both(kSettings, "BUTTON_USER_WEBSITE", 5194),

    caption(kTelnet, "GROUP_DATALOGGER", 5118),
    caption(kTelnet, "GROUP_SNMP", 5178),
    both(kTelnet, "CHECKBOX_USE_DATALOGGER", 5199),
    caption(kTelnet, "TXT_PC_LOCAL", 5105),
    caption(kTelnet, "TXT_PC_UTC", 5121),
    both(kTelnet, "CHECKBOX_USE_PC_TIME", 5160),
    caption(kTelnet, "TXT_ZEK_TIME_MANUALLY", 5154),
    caption(kTelnet, "TXT_ZEK_TIME_ZONE", 5158),
    tip(kTelnet, "TXT_ZEK_EDIT_TIME", 5159),
    tip(kTelnet, "TXT_ZEK_EDIT_DATE", 5214),
    stored(kTelnet, "DIALOG_DATE", kDialogTextMax),
    tip(kTelnet, "LISTBOX_TIME_ZONE", 5156),
    tipsAndLabel(kTelnet, "TXT_ZEK_UTC_TIME", {5179}, 5180),
    tipsAndLabel(kTelnet, "TXT_ZEK_LOCAL_TIME", {5182}, 5181),
    caption(kTelnet, "TXT_LOG_TIME", 5102),
    tip(kTelnet, "LISTBOX_LOG_TIME", 5103),
    caption(kTelnet, "TXT_DEVICE_TIMEZONE", 5216),
    trapRow("TXT_TRAP_IP1", {5101, 5100, 5099, 5098}, 5170),
    trapRow("TXT_TRAP_IP2", {5097, 5096, 5095, 5094}, 5171),
    trapRow("TXT_TRAP_IP3", {5191, 5093, 5092, 5091}, 5172),
    tipsAndLabel(kTelnet, "TXT_SNMP_LOCATION", {5200}, 5203),
    tip(kTelnet, "BUTTON_CONNECT_HELP", 5006),
    connectCaption("BUTTON_CONNECT_CONNECT"),
    connectCaption("BUTTON_CONNECT_CANCEL"),
    connectCaption("BUTTON_CONNECT_DISCONNECT"),
    both(kTelnet, "CHECK_AUTOMATIC_DST", 5124),
    stored(kTelnet, "DIALOG_DST", kDialogTextMax),
    caption(kTelnet, "TXT_DST_START", 5125),
    tip(kTelnet, "LISTBOX_DST_START_NR", 5133),
    tip(kTelnet, "LISTBOX_DST_START_DAY", 5127),
    tip(kTelnet, "LISTBOX_DST_START_MONTH", 5130),
    tip(kTelnet, "LISTBOX_DST_START_HOUR", 5131),
    caption(kTelnet, "TXT_DST_STOP", 5126),
    tip(kTelnet, "LISTBOX_DST_STOP_NR", 5134),
    tip(kTelnet, "LISTBOX_DST_STOP_DAY", 5128),
    tip(kTelnet, "LISTBOX_DST_STOP_MONTH", 5129),
    tip(kTelnet, "LISTBOX_DST_STOP_HOUR", 5132),
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
    both(kTelnet, "BUTTON_READ_SNMP", 5197),
    both(kTelnet, "BUTTON_SET_SNMP", 5198),
    both(kTelnet, "BUTTON_READ_LOGGER", 5196),
    both(kTelnet, "BUTTON_SET_LOGGER", 5195),
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
