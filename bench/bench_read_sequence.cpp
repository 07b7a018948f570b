// Measures the full automatic read after connecting to a module that answers at once:
// the time from pressing Connect to the sequence's end, and how much of it the step
// machine spends waiting for timer ticks rather than for replies. Prints figures; run it
// inside a private network namespace: scripts/netns-run.sh build/.../bench/bench_read_sequence
#include "gui/app/zek_config.h"
#include "gui/app/zek_config_app.h"
#include "gui/scan/device_tree.h"
#include "sim/sim_fleet.h"

#include "bench_window.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QTemporaryDir startDir;
    QDir::setCurrent(startDir.path());

    zek::SimModuleConfig module = zek::bench::benchModule();
    module.faults.merge = true;
    zek::SimFleet fleet({module});
    if (!fleet.start()) {
        std::fprintf(stderr, "bench_read_sequence: %s (run it inside scripts/netns-run.sh)\n",
                     qPrintable(fleet.errorString()));
        return 1;
    }

    zek::TZEKConfigApp zekApp;
    zekApp.BuildMainWindow();
    zekApp.frame()->show();
    zek::ZEKConfig& dialog = *zekApp.dialog();
    if (!zek::bench::selectLoopbackModule(
            dialog, [](const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }))
        return 1;
    const QAbstractItemModel* log =
        qobject_cast<QAbstractItemView*>(dialog.widget(zek::ctl::LogList))->model();

    for (int round = 1; round <= 3; ++round) {
        std::vector<qint64> stepTimes; // when each "State: %d" line appeared
        QElapsedTimer clock;
        int seen = log->rowCount();
        clock.start();
        dialog.DispatchButton(zek::ctl::Connect);
        bool ended = false;
        (void)QTest::qWaitFor(
            [&] {
                for (; seen < log->rowCount(); ++seen) {
                    const QString line = log->index(seen, 0).data().toString();
                    if (line.startsWith(QStringLiteral("State: "))) {
                        stepTimes.push_back(clock.nsecsElapsed());
                        ended = line == QStringLiteral("State: 0");
                    }
                }
                seen = log->rowCount();
                return ended;
            },
            20000);
        const double total = double(clock.nsecsElapsed()) / 1e6;
        // A gap of 100 ms or more between two steps is a wait for timer B, not for a reply.
        double timerWaits = stepTimes.empty() ? 0 : double(stepTimes.front()) / 1e6;
        for (std::size_t i = 1; i < stepTimes.size(); ++i) {
            const double gap = double(stepTimes[i] - stepTimes[i - 1]) / 1e6;
            if (gap >= 100)
                timerWaits += gap;
        }
        std::printf(
            "| Automatic read %d: %zu steps%s | %.0f ms from Connect to the end: %.0f ms timer waits, "
            "%.0f ms our own |\n",
            round, stepTimes.size(), ended ? "" : " (did not end)", total, timerWaits, total - timerWaits);
        dialog.DispatchButton(zek::ctl::Connect); // disconnect
        (void)QTest::qWaitFor([&] { return dialog.sessionState() == zek::SessionState::Idle; }, 5000);
    }
    return 0;
}
