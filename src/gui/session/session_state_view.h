#pragma once

#include "core/session/session_state.h"
#include "gui/app/panel_view.h"

#include <QString>

#include <functional>

class QWidget;

namespace zek {

class DeviceTree;
class LanguageTexts;
class SessionPanels;

// Shows the session's state in the window: applies the state-entry table's effects, in
// their order, each time the session enters a state.
class SessionStateView {
public:
    struct Wiring {
        QWidget& dialog;
        PanelView view;
        const LanguageTexts& texts;
        std::function<void()> forgetCapabilities; // the module's letters T and L
        SessionPanels& panels;
        DeviceTree& tree;
        // "Netz %d: %d.%d.%d.%d ": the start of the caption of an idle session.
        std::function<QString()> interfaceText;
        std::function<void()> forgetSoftware; // "?" as the software text
    };

    explicit SessionStateView(Wiring wiring) : m_w(std::move(wiring)) {}

    void apply(SessionState state);
    // Locks the controls that choose a module outside Idle, unlocks them in Idle.
    void applySelectionLock(SessionState state);

private:
    void applyEffect(EntryEffect effect, const StateEntry& entry);

    Wiring m_w;
};

} // namespace zek
