#pragma once

#include "core/app/control_inventory.h"

#include <string>
#include <string_view>

namespace zek {

// The product's version text: the frame caption is its first two words, the About box
// splits it in two.
inline constexpr std::string_view kVersionText = "MERIDON Brisklink V1.00.11";
inline constexpr std::string_view kCopyrightLine = "Copyright (C) Holvek. All rights reserved.";
// The maker is fictitious: its site lives under a reserved example domain.
inline constexpr std::string_view kMakerWebsite = "https://www.holvek.example/";
inline constexpr std::string_view kManualFileName = "holvek_zek_config.pdf";

// The About box (dlg::About), declared as data like the other dialogs.
const DialogTemplate& aboutDialog();

struct AboutTexts {
    std::string caption;
    std::string version;
};

// With two blanks or more: the caption is the text before the second blank and the
// version line the text after it. Otherwise the caption is "About" and the version line
// the whole text.
AboutTexts splitVersionText(std::string_view versionText);

} // namespace zek
