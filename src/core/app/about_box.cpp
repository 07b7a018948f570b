#include "core/app/about_box.h"

#include "core/app/control_ids.h"

namespace zek {

namespace {

using enum ControlKind;

constexpr ControlSpec kAbout[] = {
    {dlg::AboutPicture, BitmapStatic, "", -2, 0, 253, 160},
    {dlg::AboutLogo, BitmapStatic, "", 8, 169, 100, 14},
    {dlg::AboutVersion, Text, "???", 112, 172, 92, 16},
    {dlg::AboutCopyright, Text, "Copyright", 8, 190, 192, 12},
    {dlg::AboutOk, DefaultPushButton, "OK", 212, 190, 33, 12},
};

} // namespace

const DialogTemplate& aboutDialog() {
    static constexpr DialogTemplate kDialog{kAbout, 252, 206};
    return kDialog;
}

AboutTexts splitVersionText(std::string_view versionText) {
    const std::size_t first = versionText.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : versionText.find(' ', first + 1);
    if (second == std::string_view::npos)
        return {"About", std::string(versionText)};
    return {std::string(versionText.substr(0, second)), std::string(versionText.substr(second + 1))};
}

} // namespace zek
