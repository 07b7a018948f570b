#include "core/session/session_state.h"

namespace zek {

namespace {

using enum EntryEffect;

constexpr std::array<StateEntry, 4> kStateEntries = {{
    {SessionState::Idle,
     "State: Idle",
     "ZEKConfig: Socket disconnected",
     "Connect",
     {StateText, ConnectCaption, IdleCaption, TreeIdleIcon, SelectionLock, TreeSelection, AllPanels}},
    {SessionState::LookingUp,
     "State: Looking Up Address...",
     "",
     "Cancel",
     {StateText, ConnectCaption, SelectionLock, AllPanels}},
    {SessionState::Connecting,
     "State: connecting...",
     "ZEKConfig: Socket connecting ...",
     "Cancel",
     {StateText, ConnectCaption, ClearCapabilities, SelectionLock, AllPanels}},
    // Only the session buttons: the panels follow the module's configuration reply.
    {SessionState::Connected,
     "State: Connected",
     "ZEKConfig: Socket connected",
     "Disconnect",
     {StateText, ConnectCaption, SelectionLock, SessionButtons, TreeSelection, ModuleInfoUnknown}},
}};

static_assert([] {
    for (std::size_t i = 0; i < kStateEntries.size(); ++i)
        if (std::size_t(kStateEntries[i].state) != i)
            return false;
    return true;
}());

} // namespace

const StateEntry& stateEntry(SessionState state) {
    return kStateEntries[std::size_t(state)];
}

} // namespace zek
