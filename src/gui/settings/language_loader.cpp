#include "gui/settings/language_loader.h"

#include "core/app/control_ids.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "core/settings/language_texts.h"
#include "gui/app/dialog_form.h"
#include "gui/scan/device_tree.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace zek {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

void setCaption(QWidget* control, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
}

// Tooltips are plain text like every other language text; Qt would take one that looks
// like markup for rich text.
QString plainToolTip(const QString& tip) {
    return Qt::mightBeRichText(tip) ? QStringLiteral("<qt>%1</qt>").arg(tip.toHtmlEscaped()) : tip;
}

} // namespace

LanguageLoader::LanguageLoader(Wiring wiring) : m_w(std::move(wiring)) {}

QStringList LanguageLoader::searchPath() const {
    QStringList dirs{m_w.startDirectory};
#ifdef ZEK_DATA_DIR
    dirs << QStringLiteral(ZEK_DATA_DIR);
#endif
    dirs << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/" ZEK_DATA_DIR_FROM_PROGRAM));
    dirs.removeDuplicates();
    return dirs;
}

QString LanguageLoader::locate(const QString& fileName) const {
    for (const QString& dir : searchPath()) {
        const QFileInfo candidate(QDir(dir), fileName);
        if (candidate.isFile())
            return candidate.filePath();
    }
    return {};
}

void LanguageLoader::ApplyLanguage(const QString& fileName) {
    const QString path = locate(fileName);
    if (path.isEmpty()) {
        m_w.log(QStringLiteral("Language file %1 not found; the texts stay as they are").arg(fileName));
        return;
    }
    const IniFile file(QFile::encodeName(path).toStdString());
    if (file.status() == IniFile::Status::TooLarge) {
        m_w.log(QStringLiteral("Language file %1 is larger than %2 bytes; the texts stay as they are")
                    .arg(path)
                    .arg(kProfileFileMax));
        return;
    }
    if (file.status() != IniFile::Status::Read) {
        m_w.log(QStringLiteral("Language file %1 cannot be read; the texts stay as they are").arg(path));
        return;
    }
    for (const LanguageKey& key : languageKeys())
        applyKey(file, key);
}

void LanguageLoader::applyKey(const IniFile& file, const LanguageKey& key) {
    const std::string value = file.getString(key.section, key.key, {}, key.limit);
    switch (key.use) {
    case KeyUse::PopupTitle:
        if (QMenu* menu = popup(key.control))
            menu->setTitle(qt(value));
        break;
    case KeyUse::MenuItem:
        if (QMenu* menu = popup(key.popup)) {
            if (QAction* item = takeMenuItem(menu, key.control)) {
                item->setText(qt(value));
                menu->addAction(item);
            }
        }
        break;
    case KeyUse::LanguageItems:
        rebuildLanguageMenu();
        break;
    case KeyUse::Caption:
        setCaption(m_w.form.widget(key.control), qt(value));
        break;
    case KeyUse::Tip:
    case KeyUse::TipAndCaption:
    case KeyUse::TipAndRowCaption: {
        for (const int id : key.tips)
            if (id != 0)
                SetControlTip(m_w.form.widget(id), value);
        if (key.use == KeyUse::Tip)
            break;
        const std::string caption = splitCaptionTip(value).caption;
        if (key.use == KeyUse::TipAndRowCaption)
            SetControlTip(m_w.form.widget(key.control), caption);
        setCaption(m_w.form.widget(key.control), qt(caption));
        break;
    }
    case KeyUse::ListEntries:
        refillLists(file, key);
        break;
    case KeyUse::LeafLabel:
        m_leafLabels[std::size_t(key.leaf)] = value;
        m_w.tree.setLeafLabels(m_leafLabels);
        break;
    case KeyUse::OnlineText:
        m_w.texts.set(key.key, value);
        m_w.tree.setOnlineText(qt(value));
        break;
    case KeyUse::StoredText:
        m_w.texts.set(key.key, value);
        break;
    case KeyUse::ConnectCaption:
        m_w.texts.set(key.key, value);
        setCaption(m_w.form.widget(key.control), qt(m_w.texts.text(connectCaptionKey(m_w.sessionState()))));
        break;
    }
}

void LanguageLoader::refillLists(const IniFile& file, const LanguageKey& key) {
    const LanguageList& list = *key.list;
    QStringList entries;
    for (const std::string& name : keyNames(key)) {
        const std::string entry = file.getString(key.section, name, {}, list.limit);
        if (list.stored)
            m_w.texts.set(name, entry);
        entries << qt(entry);
    }
    for (std::size_t i = 0; i < list.lists.size(); ++i) {
        auto* combo = m_w.form.control<QComboBox>(list.lists[i]);
        if (!combo)
            continue;
        const int previous = combo->currentIndex();
        combo->clear();
        combo->addItems(entries);
        combo->setCurrentIndex(keptSelection(previous, combo->count(), list.defaults[i]));
    }
}

std::string LanguageLoader::SetControlTip(QWidget* control, std::string_view text) {
    const CaptionTip parts = splitCaptionTip(text);
    if (control) {
        const TooltipRegistry::Result result = m_tips.set(control, parts.tip);
        if (result != TooltipRegistry::Result::Full)
            control->setToolTip(plainToolTip(qt(parts.tip)));
    }
    return parts.caption;
}

void LanguageLoader::clearTips() {
    m_tips.clear();
}

QMenu* LanguageLoader::popup(int index) const {
    auto* frame = qobject_cast<QMainWindow*>(m_w.dialog.window());
    if (!frame)
        return nullptr;
    return frame->menuBar()->findChild<QMenu*>(QStringLiteral("menu%1").arg(index));
}

QAction* LanguageLoader::takeMenuItem(QMenu* menu, int command) const {
    const QString name = QString::number(command);
    for (QAction* action : menu->actions()) {
        if (action->objectName() == name) {
            menu->removeAction(action);
            return action;
        }
    }
    return nullptr;
}

void LanguageLoader::rebuildLanguageMenu() {
    QMenu* menu = popup(1);
    const auto* languages = m_w.form.control<QComboBox>(ctl::LanguageList);
    if (!menu || !languages)
        return;
    for (int i = 0; i < languages->count() && i < kLanguagesMax; ++i) {
        const QString text = languages->itemText(i);
        if (text.isEmpty())
            continue;
        const int command = cmd::LanguageFirst + i;
        QAction* item = takeMenuItem(menu, command);
        if (!item) {
            item = new QAction(menu);
            item->setObjectName(QString::number(command));
            item->setCheckable(true);
            QObject::connect(item, &QAction::triggered, &m_w.dialog,
                             [this, command] { m_w.menuCommand(command); });
        }
        item->setText(text);
        // The enabling decides the state each time the menu opens.
        item->setEnabled(false);
        menu->addAction(item);
    }
}

} // namespace zek
