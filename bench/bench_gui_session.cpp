// The window's own cost: from main() to the first search the simulator receives, the
// resident memory then, the CPU time of 10 s idle, and memory and descriptors before
// and after 200 connect/disconnect cycles. Prints table rows; run it inside a private
// network namespace: scripts/netns-run.sh build/.../bench/bench_gui_session
#include "gui/app/zek_config.h"
#include "gui/app/zek_config_app.h"
#include "sim/sim_fleet.h"

#include "bench_window.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

namespace {

double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

int descriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return int(std::distance(begin(entries), end(entries))) - 1; // the iterator's own
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QTemporaryDir startDir;
    QDir::setCurrent(startDir.path());

    zek::SimModuleConfig module = zek::bench::benchModule();
    zek::SimFleet fleet({module});
    qint64 firstSearch = 0;
    QObject::connect(&fleet, &zek::SimFleet::logLine, [&](const QString& line) {
        if (firstSearch == 0 && line.contains(QStringLiteral("search")))
            firstSearch = sinceMain.nsecsElapsed();
    });
    if (!fleet.start()) {
        std::fprintf(stderr, "bench_gui_session: %s (run it inside scripts/netns-run.sh)\n",
                     qPrintable(fleet.errorString()));
        return 1;
    }

    zek::TZEKConfigApp zekApp;
    zekApp.BuildMainWindow();
    zekApp.frame()->show();
    (void)QTest::qWaitFor([&] { return firstSearch != 0; }, 5000);
    std::printf("| Start-up | first search %.0f ms after main(); resident memory %.1f MB |\n",
                double(firstSearch) / 1e6, residentMb());

    const double idleStart = cpuMs();
    QTest::qWait(10000);
    std::printf("| Idle, 10 s | CPU %.0f ms (%.2f %%) |\n", cpuMs() - idleStart, (cpuMs() - idleStart) / 100);

    zek::ZEKConfig& dialog = *zekApp.dialog();
    if (!zek::bench::selectLoopbackModule(
            dialog, [](const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }))
        return 1;
    const auto waitFor = [&](zek::SessionState state) {
        return QTest::qWaitFor([&] { return dialog.sessionState() == state; }, 5000);
    };
    const double rssBefore = residentMb();
    const int fdsBefore = descriptors();
    int cycles = 0;
    for (; cycles < 200; ++cycles) {
        dialog.DispatchButton(zek::ctl::Connect);
        if (!waitFor(zek::SessionState::Connected))
            break;
        dialog.DispatchButton(zek::ctl::Connect);
        if (!waitFor(zek::SessionState::Idle))
            break;
    }
    QTest::qWait(100);
    std::printf("| %d connect/disconnect cycles | resident memory %.1f -> %.1f MB; descriptors %d -> %d |\n",
                cycles, rssBefore, residentMb(), fdsBefore, descriptors());
    return 0;
}
