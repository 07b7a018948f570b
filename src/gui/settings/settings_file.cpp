#include "gui/settings/settings_file.h"

#include "core/scan/tree_texts.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "gui/app/zek_config.h"
#include "gui/scan/device_tree.h"
#include "gui/settings/language_loader.h"

#include <QComboBox>
#include <QDir>
#include <QFile>

namespace zek {

namespace {

constexpr int kInterfaceList = 5026;
constexpr int kLanguageList = 5205;
constexpr int kSortList = 5152;

std::string localName(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

} // namespace

SettingsFile::SettingsFile(ZEKConfig& dialog) : m_dialog(dialog) {}

QString SettingsFile::path() const {
    return QDir(m_dialog.startDirectory()).filePath(QString::fromLatin1(kFileName));
}

void SettingsFile::ReadSettings(const QString& fileName) {
    const TProfile profile(kSection, localName(fileName));
    if (profile.file().status() == IniFile::Status::Unreadable)
        m_dialog.AppendLogLine(
            QStringLiteral("Settings file %1 cannot be read; defaults apply").arg(fileName));

    // A saved interface the PC no longer has falls back to the first one, so that the
    // program still searches somewhere.
    auto* interfaces = m_dialog.control<QComboBox>(kInterfaceList);
    const int savedInterface = profile.GetInt("ETH_INTERFACE", 0);
    int interface = savedInterface;
    if (interface < 0 || interface >= interfaces->count()) {
        interface = interfaces->count() > 0 ? 0 : -1;
        if (interfaces->count() > 0)
            m_dialog.AppendLogLine(
                QStringLiteral("Settings: ETH_INTERFACE=%1 names none of the %2 PC interfaces; "
                               "the first one is used")
                    .arg(savedInterface)
                    .arg(interfaces->count()));
    }
    interfaces->setCurrentIndex(interface);
    m_dialog.interfaceSelected();

    auto* languages = m_dialog.control<QComboBox>(kLanguageList);
    languages->clear();
    for (int n = 1; n <= kLanguagesMax; ++n) {
        const std::string name = profile.GetString(languageNameKey(n), {}, kLanguageNameMax);
        if (!name.empty())
            languages->addItem(QString::fromStdString(name));
    }
    // The menu offers the languages even before one is applied.
    m_dialog.language().rebuildLanguageMenu();

    const QString saved = QString::fromStdString(profile.GetString("LANGUAGE"));
    const int language = saved.isEmpty() ? -1 : languages->findText(saved, Qt::MatchFixedString);
    languages->setCurrentIndex(language);
    if (language >= 0)
        m_dialog.language().ApplyLanguage(QString::fromStdString(languageFileName(language)));
    else if (!saved.isEmpty())
        m_dialog.AppendLogLine(
            QStringLiteral("Settings: LANGUAGE=%1 is none of the listed languages").arg(saved));

    const int savedOrder = profile.GetInt("TREE_SORTING", 0);
    const int order = clampSortOrder(savedOrder);
    if (order != savedOrder)
        m_dialog.AppendLogLine(QStringLiteral("Settings: TREE_SORTING=%1 is outside 0-2; %2 is used")
                                   .arg(savedOrder)
                                   .arg(order));
    m_dialog.control<QComboBox>(kSortList)->setCurrentIndex(order);
    m_dialog.deviceTree().setSortOrder(order);
}

bool SettingsFile::WriteSettings(const QString& fileName) {
    const auto* interfaces = m_dialog.control<QComboBox>(kInterfaceList);
    const auto* languages = m_dialog.control<QComboBox>(kLanguageList);
    const auto* sort = m_dialog.control<QComboBox>(kSortList);
    const std::string language = languages->currentIndex() >= 0
                                     ? utf8Prefix(languages->currentText().toStdString(), kLanguageSettingMax)
                                     : std::string();
    // Before a language has filled the sort list, the tree's own order is the one in use.
    const int order = sort->currentIndex() >= 0 ? sort->currentIndex() : m_dialog.deviceTree().sortOrder();

    TProfile profile(kSection, localName(fileName));
    const bool written = profile.WriteInt("ETH_INTERFACE", interfaces->currentIndex()) &&
                         profile.WriteString("LANGUAGE", language) && profile.WriteInt("TREE_SORTING", order);
    if (!written)
        m_dialog.AppendLogLine(QStringLiteral("Settings file %1 cannot be written").arg(fileName));
    return written;
}

} // namespace zek
