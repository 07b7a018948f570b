#include "core/settings/settings_choices.h"
#include "core/text/encodings.h"

#include "core/scan/tree_texts.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"

#include <algorithm>
#include <cctype>

namespace zek {

bool sameNameNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

SettingsChoices resolveSettings(const TProfile& profile, int interfaceCount) {
    SettingsChoices choices;
    if (profile.file().status() == IniFile::Status::Unreadable)
        choices.interfaceLog.push_back("Settings file " + profile.file().fileName() +
                                       " cannot be read; defaults apply");
    if (profile.file().status() == IniFile::Status::TooLarge)
        choices.interfaceLog.push_back("Settings file " + profile.file().fileName() + " is larger than " +
                                       std::to_string(kProfileFileMax) +
                                       " bytes; defaults apply and it is left as it is");

    const int savedInterface = profile.GetInt("ETH_INTERFACE", 0);
    choices.interfaceIndex = savedInterface;
    if (savedInterface < 0 || savedInterface >= interfaceCount) {
        choices.interfaceIndex = interfaceCount > 0 ? 0 : -1;
        if (interfaceCount > 0)
            choices.interfaceLog.push_back("Settings: ETH_INTERFACE=" + std::to_string(savedInterface) +
                                           " names none of the " + std::to_string(interfaceCount) +
                                           " PC interfaces; the first one is used");
    }

    for (int n = 1; n <= kLanguagesMax; ++n) {
        std::string name = profile.GetString(languageNameKey(n), {}, kLanguageNameMax);
        if (!name.empty())
            choices.languages.push_back(std::move(name));
    }
    const std::string saved = profile.GetString("LANGUAGE");
    if (!saved.empty()) {
        const auto found = std::find_if(choices.languages.begin(), choices.languages.end(),
                                        [&](const std::string& name) { return sameNameNoCase(name, saved); });
        if (found != choices.languages.end())
            choices.languageIndex = int(found - choices.languages.begin());
        else
            choices.choiceLog.push_back("Settings: LANGUAGE=" + saved + " is none of the listed languages");
    }

    const int savedOrder = profile.GetInt("TREE_SORTING", 0);
    choices.sortOrder = clampSortOrder(savedOrder);
    if (choices.sortOrder != savedOrder)
        choices.choiceLog.push_back("Settings: TREE_SORTING=" + std::to_string(savedOrder) +
                                    " is outside 0-2; " + std::to_string(choices.sortOrder) + " is used");
    return choices;
}

bool storeSettings(const std::string& fileName, int interfaceIndex, std::string_view language,
                   int sortOrder) {
    TProfile profile(kSettingsSection, fileName);
    // Reading it already said so; each later choice would only repeat it.
    if (profile.file().status() == IniFile::Status::TooLarge)
        return true;
    return profile.WriteInt("ETH_INTERFACE", interfaceIndex) &&
           profile.WriteString("LANGUAGE", utf8Prefix(language, kLanguageSettingMax)) &&
           profile.WriteInt("TREE_SORTING", sortOrder);
}

} // namespace zek
