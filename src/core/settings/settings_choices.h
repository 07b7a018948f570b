#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zek {

class TProfile;

// The settings file in the start directory and its section.
inline constexpr const char* kSettingsFileName = "MERIDON_Brisklink.ini";
inline constexpr const char* kSettingsSection = "BASIC_SETTINGS";

// What the settings file asks of the window, decided against what the PC offers: the
// interface to select, the languages on offer and the one to apply, and the tree's sort
// order, with a log line for each saved choice that could not be taken as it stands.
struct SettingsChoices {
    int interfaceIndex = -1; // -1: the PC has no interface
    std::vector<std::string> languages;
    int languageIndex = -1; // -1: none of the listed languages
    int sortOrder = 0;
    // Logged before the interface is selected, and after the language is applied.
    std::vector<std::string> interfaceLog;
    std::vector<std::string> choiceLog;
};

// `interfaceCount` is the number of entries in the "PC-IP:" list. A saved interface the PC
// no longer has falls back to the first one, so that the program still searches somewhere;
// the saved language matches a listed name without regard to letter case.
SettingsChoices resolveSettings(const TProfile& profile, int interfaceCount);

// Stores the three choices in the section "BASIC_SETTINGS" of the file, the language name
// cut to what the reader keeps; false when the file could not be written. A file too large
// to read is left as it is without a failure: reading it was logged already.
bool storeSettings(const std::string& fileName, int interfaceIndex, std::string_view language, int sortOrder);

// Whether two language names match as the language list compares them.
bool sameNameNoCase(std::string_view a, std::string_view b);

} // namespace zek
