#pragma once

#include "core/app/panel_enabling.h"
#include "core/session/command_texts.h"
#include "core/session/module_state.h"
#include "core/session/session_engine.h"
#include "core/session/session_state.h"
#include "gui/app/panel_view.h"

#include <QHash>

#include <functional>
#include <string_view>

namespace zek {

// The controls of the device session: the enabling of the session buttons, the
// data-logger and clock panel, the SNMP panel and its trap rows, and the per-row Read
// and Set commands, which read the panel's edits into a command for the engine.
class SessionPanels {
public:
    // Hands one command to the engine, which awaits its reply afresh and sends it.
    using SendFn = std::function<void(const SessionCommand& command)>;
    using StateFn = std::function<const ModuleState&()>;

    SessionPanels(PanelView view, StateFn module, std::function<SessionState()> sessionState, SendFn send);

    // Fills the lists and sets the fixed states of the session's controls once, before
    // the settings and the language are applied.
    void setupControls();

    // The Read and Set buttons of the rows and the groups, with the connected condition
    // taken from the session state.
    void applySessionButtons();
    // Reads "active" first: the logger as the user wants it.
    void applyClockPanel();
    // "active" as the clock panel last read it.
    bool loggerActive() const { return m_loggerActive; }
    // The three trap rows, then the location row and the group box.
    void applySnmpPanel();
    // Row 1 to 3: an unchecked row is switched off and, while the module can take traps,
    // its edits show "0".
    void applyTrapRow(int row);
    // Session buttons, clock panel and SNMP panel.
    void applyAll();

    // "?" in the module's identity fields, until the module tells them.
    void showUnknownIdentity();
    // "Read settings automatically".
    bool readAutomatically() const;
    // A part of the module's state that these panels show: the identity texts, the letters,
    // the logger, the DST switch, a trap row and the location.
    void show(ModulePart part, const ModuleState& state);

    // The window's button of each value action.
    static int buttonOf(ValueAction action);

    // A per-row Read other than the clock's.
    void read(ValueAction action);
    void setLogger();
    void setDstUse();
    void setDstRule(DstRuleRow row);
    void setTrap(int row);
    void setSnmpLocation();

    // Enters the actions of the session's buttons and check boxes into a dispatch table.
    void addButtonActions(QHash<int, std::function<void()>>& table);

private:
    PanelConditions conditions() const;
    void apply(const EnableTable& table);
    void select(int listId, int index);

    PanelView m_view;
    StateFn m_module;
    std::function<SessionState()> m_sessionState;
    SendFn m_send;
    bool m_loggerActive = false;
};

} // namespace zek
