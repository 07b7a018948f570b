#include "gui/session/session_state_view.h"

#include "core/app/control_ids.h"
#include "core/settings/language_table.h"
#include "core/settings/language_texts.h"
#include "gui/scan/device_tree.h"
#include "gui/session/session_panels.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace zek {

void SessionStateView::apply(SessionState state) {
    const StateEntry& entry = stateEntry(state);
    for (const EntryEffect effect : entry.effects)
        applyEffect(effect, entry);
}

void SessionStateView::applySelectionLock(SessionState state) {
    for (const int id : ctl::kSelectionControls)
        m_w.view.setEnabled(id, state == SessionState::Idle);
}

void SessionStateView::applyEffect(EntryEffect effect, const StateEntry& entry) {
    switch (effect) {
    case EntryEffect::None:
        break;
    case EntryEffect::StateText:
        if (auto* text = m_w.view.control<QLabel>(ctl::StateText))
            text->setText(QString::fromLatin1(entry.text.data(), qsizetype(entry.text.size())));
        break;
    case EntryEffect::ConnectCaption: {
        // Without a language text for the state (no language applied yet, a file lacking
        // the key) the state's own caption stands in.
        const std::string label = m_w.texts.text(connectCaptionKey(entry.state));
        const QString caption = label.empty() ? QString::fromLatin1(entry.connectCaption.data(),
                                                                    qsizetype(entry.connectCaption.size()))
                                              : QString::fromStdString(label);
        if (auto* button = m_w.view.control<QAbstractButton>(ctl::Connect))
            button->setText(caption);
        break;
    }
    case EntryEffect::ClearCapabilities:
        m_w.forgetCapabilities();
        break;
    case EntryEffect::SelectionLock:
        applySelectionLock(entry.state);
        break;
    case EntryEffect::SessionButtons:
        m_w.panels.applySessionButtons();
        break;
    case EntryEffect::AllPanels:
        m_w.panels.applyAll();
        break;
    case EntryEffect::TreeSelection:
        m_w.tree.selectionChanged();
        break;
    case EntryEffect::ModuleInfoUnknown:
        m_w.panels.showUnknownIdentity();
        m_w.forgetSoftware();
        break;
    case EntryEffect::IdleCaption:
        m_w.dialog.setWindowTitle(m_w.interfaceText() + QStringLiteral(" nicht verbunden"));
        break;
    case EntryEffect::TreeIdleIcon:
        m_w.tree.updateStateIcon(true);
        break;
    }
}

} // namespace zek
