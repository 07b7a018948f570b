// Measures 100 searches answered by 260 simulated modules at once: how many reach the
// tree and how long from the search to the last node. Prints table rows; run it inside
// a private network namespace: scripts/netns-run.sh build/.../bench/bench_gui_search
#include "core/app/control_ids.h"
#include "gui/app/zek_config.h"
#include "gui/app/zek_config_app.h"
#include "gui/scan/device_tree.h"
#include "sim/sim_fleet.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QTemporaryDir startDir;
    QDir::setCurrent(startDir.path());

    constexpr int kModules = 260;
    zek::SimFleet fleet;
    for (int i = 0; i < kModules; ++i) {
        zek::SimModuleConfig m;
        m.mac = {0x02, 0x5A, 0x45, 0x01, quint8(i >> 8), quint8(i)};
        m.serial = quint32(i);
        m.network.ip = 0x7F000002u + quint32(i);
        m.network.netmask = 0xFF000000u;
        m.network.port = quint16(10001 + i);
        m.network.setName(QByteArray("module ") + QByteArray::number(i));
        m.network.mode = quint8(i % 5);
        fleet.addModule(m);
    }
    zek::FleetOptions burst;
    burst.replySpacingMs = 0;
    fleet.setOptions(burst);
    if (!fleet.start()) {
        std::fprintf(stderr, "bench_gui_search: %s (run it inside scripts/netns-run.sh)\n",
                     qPrintable(fleet.errorString()));
        return 1;
    }

    zek::TZEKConfigApp zekApp;
    zekApp.BuildMainWindow();
    zekApp.frame()->show();
    auto* tree = zekApp.dialog()->control<QTreeWidget>(zek::ctl::Tree);
    auto nodes = [&] { return tree->topLevelItem(0)->childCount(); };
    (void)QTest::qWaitFor([&] { return nodes() == kModules; }, 10000);

    constexpr int kSearches = 100;
    std::vector<double> times;
    int fewest = kModules;
    for (int round = 1; round <= kSearches; ++round) {
        QElapsedTimer clock;
        clock.start();
        zekApp.dialog()->DispatchButton(zek::ctl::Search);
        qint64 lastNode = 0;
        int seen = 0;
        (void)QTest::qWaitFor(
            [&] {
                if (nodes() > seen) {
                    seen = nodes();
                    lastNode = clock.nsecsElapsed();
                }
                return seen == kModules;
            },
            10000);
        fewest = std::min(fewest, seen);
        times.push_back(double(lastNode) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "| Search answered by %d modules, %d searches | fewest in the tree %d; last node median %.1f ms, "
        "max %.1f ms |\n",
        kModules, kSearches, fewest, times[times.size() / 2], times.back());
    return 0;
}
