#pragma once
// What the window benchmarks share: the one simulated module they talk to, and the window
// with that module found and selected.
#include "core/app/control_ids.h"
#include "gui/app/zek_config.h"
#include "sim/sim_module.h"

#include <QComboBox>
#include <QTreeWidget>

#include <functional>

namespace zek::bench {

// Module 1 of a generated fleet: 127.0.0.2, TCP port 10001.
inline SimModuleConfig benchModule() {
    SimModuleConfig module;
    module.mac = {0x02, 0x5A, 0x45, 0, 0, 1};
    module.network.ip = 0x7F000002u;
    module.network.netmask = 0xFF000000u;
    module.network.port = 10001;
    module.network.setName("bench");
    return module;
}

using WaitFn = std::function<bool(const std::function<bool()>& done, int timeoutMs)>;

// Searches from 127.0.0.1 and selects the one module found; false if it is not found in time.
inline bool selectLoopbackModule(ZEKConfig& dialog, const WaitFn& waitFor) {
    auto* interfaces = dialog.control<QComboBox>(ctl::PcIpList);
    const int loopback = interfaces->findText(QStringLiteral(": 127.0.0.1"), Qt::MatchEndsWith);
    interfaces->setCurrentIndex(loopback);
    emit interfaces->activated(loopback);
    auto* tree = dialog.control<QTreeWidget>(ctl::Tree);
    if (!waitFor([tree] { return tree->topLevelItem(0)->childCount() == 1; }, 5000))
        return false;
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    return true;
}

} // namespace zek::bench
