#pragma once

#include "core/scan/tree_texts.h"
#include "core/session/session_state.h"
#include "core/settings/ini_profile.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

// The languages on offer: keys "LANG01" .. "LANG49" of the settings file; the list entry at
// position k belongs to the language file "LANG%02d.ini" numbered k + 1.
inline constexpr int kLanguagesMax = 49;
inline constexpr std::size_t kLanguageNameMax = 1072;
inline constexpr std::size_t kLanguageSettingMax = 98;

inline constexpr std::size_t kOnlineTextMax = 98;
inline constexpr std::size_t kEthModeNameMax = 39;
inline constexpr std::size_t kConnectCaptionMax = 49;
inline constexpr std::size_t kDialogTextMax = 99;

std::string languageNameKey(int number);    // "LANG%02d"
std::string languageFileName(int position); // "LANG%02d.ini" with position + 1
std::string numberedKey(std::string_view prefix, int number);

// A value that gives both: the caption before the first ";", the tooltip after it; without
// a ";" both are the whole value.
struct CaptionTip {
    std::string caption;
    std::string tip;
};
CaptionTip splitCaptionTip(std::string_view value);

// The caption of the Connect button for a session state.
std::string_view connectCaptionKey(SessionState state);

// A drop-down list refilled from numbered keys; each keeps its selected position, and one
// without a selection takes its default.
struct LanguageList {
    std::string_view prefix;
    int first;
    int count;
    std::array<int, 2> lists;    // control IDs; 0 = unused
    std::array<int, 2> defaults; // selection when the list had none
    std::size_t limit;
    bool stored; // the entries are also kept as language texts
};

// The selection a refilled list gets back: the one it had, or its default without one.
int keptSelection(int previous, int count, int fallback);

enum class KeyUse {
    PopupTitle,       // title of the popup at position `control` of the menu bar
    MenuItem,         // menu command `control` in popup `popup`, taken out and appended again
    LanguageItems,    // no key: the Language menu entries from the language list
    Caption,          // the whole value is the caption of `control`
    Tip,              // the tooltip part goes to each of `tips`
    TipAndCaption,    // tooltip part to each of `tips`, caption part to `control`
    TipAndRowCaption, // as TipAndCaption; `control` also takes the caption part as its tooltip
    ListEntries,      // `list` is refilled from "<key><n>"
    LeafLabel,        // the tree leaf label `leaf`
    OnlineText,       // the top node of the tree; also kept as a language text
    StoredText,       // kept as a language text for the decoder and later dialogs
    ConnectCaption,   // kept as a language text; the Connect button shows its state's caption
};

struct LanguageKey {
    std::string_view section;
    std::string_view key; // the prefix for ListEntries, empty for LanguageItems
    KeyUse use;
    int control = 0;
    std::array<int, 6> tips{};
    std::size_t limit = kProfileTextMax;
    int popup = 0;
    Leaf leaf = Leaf::Count;
    const LanguageList* list = nullptr;
};

// Every key a language file gives, in the order it is applied: the sections
// "GROUPBOX_MENU", "GROUPBOX_SOCKET_COMMUNICATION", "GROUPBOX_SETTINGS", "GROUPBOX_TELNET".
std::span<const LanguageKey> languageKeys();
// The full key names one entry reads (one, or one per list entry; none for LanguageItems).
std::vector<std::string> keyNames(const LanguageKey& key);

} // namespace zek
