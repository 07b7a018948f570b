#pragma once

#include "core/scan/tree_texts.h"
#include "core/session/session_state.h"
#include "core/settings/tooltip_registry.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QWidget;

namespace zek {

class DeviceTree;
class DialogForm;
class IniFile;
class LanguageTexts;
struct LanguageKey;

// Every visible text of the main window from a language file "LANG%02d.ini": menu titles
// and items, captions, list entries, tree labels, tooltips, and the texts kept for the
// Connect button, the decoder and the dialogs. Owns the tooltip registry.
class LanguageLoader {
public:
    // What the loader writes to and asks of the window.
    struct Wiring {
        QWidget& dialog; // its frame holds the menus
        DialogForm& form;
        LanguageTexts& texts;
        DeviceTree& tree;
        QString startDirectory;
        std::function<SessionState()> sessionState;
        // Runs a Language menu entry's command.
        std::function<void(int command)> menuCommand;
        std::function<void(const QString&)> log;
    };

    explicit LanguageLoader(Wiring wiring);

    // Applies one language file, looked up by its bare name (see searchPath). A file that
    // cannot be found or read changes nothing and is logged; a key it lacks gives an empty text.
    void ApplyLanguage(const QString& fileName);
    // Gives the control the tooltip part of `text` (after its first ";", else all of it)
    // and returns the caption part (before the first ";", else all of it).
    std::string SetControlTip(QWidget* control, std::string_view text);
    // The Language menu's entries from the language list, greyed until the menu opens.
    void rebuildLanguageMenu();
    // Set-up: no control has a tooltip of ours yet.
    void clearTips();

    // Where language files are looked for, in order: the start directory, the installed
    // data directory, and the data directory beside the executable.
    QStringList searchPath() const;
    // The first file of that name along the search path; empty when there is none.
    QString locate(const QString& fileName) const;
    const TooltipRegistry& tips() const { return m_tips; }

private:
    void applyKey(const IniFile& file, const LanguageKey& key);
    void refillLists(const IniFile& file, const LanguageKey& key);
    QMenu* popup(int index) const;
    QAction* takeMenuItem(QMenu* menu, int command) const;

    Wiring m_w;
    TooltipRegistry m_tips;
    LeafLabels m_leafLabels = defaultLeafLabels();
};

} // namespace zek
