#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zek {

// The TCP session's states; every part that enables controls reads them.
enum class SessionState { Idle, LookingUp, Connecting, Connected };

// One thing that entering a state does to the window.
enum class EntryEffect : std::uint8_t {
    None,              // fills the rest of a row
    StateText,         // the state's text in the state static
    ConnectCaption,    // the Connect button's caption from the language texts
    ClearCapabilities, // the module's letters T and L are forgotten
    SelectionLock,     // the controls that choose a module locked outside Idle
    SessionButtons,    // only the session buttons re-evaluated
    AllPanels,         // session buttons, clock panel and SNMP panel re-evaluated
    TreeSelection,     // network settings and the Connect button from the tree's selection
    ModuleInfoUnknown, // "?" in the identity fields and the software text
    IdleCaption,       // the dialog caption "<interface text> nicht verbunden"
    TreeIdleIcon,      // the selected module's node back to its idle image
};

// What entering one state does: the connection writes the log line, the window applies
// the effects in their order.
struct StateEntry {
    SessionState state;
    std::string_view text;
    std::string_view logLine; // empty: none
    // The Connect button's caption when the language file has none for the state, so the
    // button never keeps another state's caption.
    std::string_view connectCaption;
    std::array<EntryEffect, 7> effects;
};

const StateEntry& stateEntry(SessionState state);

} // namespace zek
