#pragma once

#include <QString>

namespace zek {

class ZEKConfig;

// The remembered choices in "MERIDON_Brisklink.ini" in the start directory, section
// "BASIC_SETTINGS": the PC interface, the language and the tree's sort order, and the
// languages on offer ("LANG01" .. "LANG49", maintained outside the program).
class SettingsFile {
public:
    static constexpr const char* kFileName = "MERIDON_Brisklink.ini";
    static constexpr const char* kSection = "BASIC_SETTINGS";

    explicit SettingsFile(ZEKConfig& dialog);

    // The settings file in the start directory.
    QString path() const;
    // Start-up: selects the saved interface (which searches), fills the language list and
    // its menu, applies the saved language and selects the saved sort order.
    void ReadSettings(const QString& fileName);
    // Stores the three choices as the lists show them; a failure is logged.
    bool WriteSettings(const QString& fileName);

private:
    ZEKConfig& m_dialog;
};

} // namespace zek
