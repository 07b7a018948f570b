#pragma once

#include <vector>

namespace zek {

// The window's parts that change controls of the main dialog.
enum class Panel { Session, Clock, Dst, NetworkSettings, DeviceTree, StateView, Debug };
inline constexpr Panel kPanels[] = {Panel::Session,    Panel::Clock,     Panel::Dst,  Panel::NetworkSettings,
                                    Panel::DeviceTree, Panel::StateView, Panel::Debug};

// The controls one panel may use: those it owns, which no other panel changes; those of
// other panels whose enabling it decides; and those it only reads (or watches for signals
// and focus).
struct PanelControls {
    std::vector<int> owned;
    std::vector<int> enables;
    std::vector<int> seen;
};

PanelControls panelControls(Panel panel);

} // namespace zek
