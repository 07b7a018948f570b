// A module that floods the window: the simulator, in a process of its own, follows every
// reply with 100,000 short CR lines ("short"), or with one line of a million characters
// ("long"), until at least 10 MB have come. Prints how fast the lines are consumed and how
// late a 2 ms timer fires meanwhile (the event loop's latency), and the log's last line.
// Run it inside a private network namespace: scripts/netns-run.sh .../bench_gui_flood
#include "gui/app/zek_config.h"
#include "gui/app/zek_config_app.h"

#include "bench_window.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qint64 kFloodBytes = 10'000'000;
constexpr int kProbeMs = 2;

// Runs the loop until `done` holds or the time is up; checks every millisecond, so the
// wait itself never holds the loop.
bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

void flood(const char* kind, const QStringList& faults, qint64 bytesPerReply, int linesPerReply) {
    QProcess sim;
    QTemporaryDir simDir;
    QFile fleetFile(simDir.filePath(QStringLiteral("fleet.ini")));
    fleetFile.open(QIODevice::WriteOnly);
    fleetFile.write("[module]\nip = 127.0.0.2\nnetmask = 255.0.0.0\nport = 10001\nname = flood\n");
    fleetFile.close();
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(ZEKSIM_PATH),
              QStringList{QStringLiteral("--config"), fleetFile.fileName(), QStringLiteral("--merge")} +
                  faults);
    (void)runUntil([&] { return sim.canReadLine() || sim.state() == QProcess::NotRunning; }, 5000);

    zek::TZEKConfigApp zekApp;
    zekApp.BuildMainWindow();
    zekApp.frame()->show();
    zek::ZEKConfig& dialog = *zekApp.dialog();
    if (!zek::bench::selectLoopbackModule(dialog, runUntil)) {
        std::fprintf(stderr,
                     "bench_gui_flood: the module was not found (run it inside scripts/netns-run.sh)\n");
        return;
    }
    const QAbstractItemModel* log =
        qobject_cast<QAbstractItemView*>(dialog.widget(zek::ctl::LogList))->model();
    const auto lastLine = [&] { return log->index(log->rowCount() - 1, 0).data().toString(); };

    // Every reply the module sends brings the flood; the read sequence and the Read
    // buttons ask for replies until enough bytes have come.
    qint64 received = 0;
    int sent = 0;
    QObject::connect(&sim, &QProcess::readyReadStandardOutput, [&] {
        while (sim.canReadLine()) {
            const QByteArray line = sim.readLine();
            if (line.contains(" -> ") && !line.contains("withheld") && !line.contains("ended"))
                ++sent;
        }
    });
    // Lateness of each probe with its time; only those while a burst ran count.
    std::vector<std::pair<qint64, double>> probes;
    std::vector<std::pair<qint64, qint64>> bursts;
    QElapsedTimer clock, probeClock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        probes.emplace_back(clock.nsecsElapsed(),
                            std::max(0.0, double(probeClock.nsecsElapsed()) / 1e6 - kProbeMs));
        probeClock.start();
    });
    QString previous;
    qint64 lastChange = 0, burstStart = 0;
    clock.start();
    probeClock.start();
    probe.start(kProbeMs);
    dialog.DispatchButton(zek::ctl::Connect);
    (void)runUntil(
        [&] {
            // A burst runs from the request to the last change of the log it brought.
            const qint64 now = clock.nsecsElapsed();
            if (const QString line = lastLine(); line != previous) {
                previous = line;
                lastChange = now;
            }
            received = qint64(sent) * bytesPerReply;
            const bool quiet = now - lastChange > 300'000'000;
            if (quiet && received < kFloodBytes && dialog.sessionState() == zek::SessionState::Connected) {
                bursts.emplace_back(burstStart, lastChange);
                burstStart = lastChange = now;
                dialog.DispatchButton(zek::ctl::LoggerRead); // "Read" of the log interval: one more reply
            }
            return quiet && received >= kFloodBytes;
        },
        120000);
    probe.stop();
    bursts.emplace_back(burstStart, lastChange);
    qint64 busyNs = 0;
    for (const auto& [start, end] : bursts)
        busyNs += end - start;
    std::vector<double> late;
    for (const auto& [at, lateness] : probes)
        if (std::any_of(bursts.begin(), bursts.end(),
                        [at](auto b) { return at >= b.first && at <= b.second; }))
            late.push_back(lateness);
    const double seconds = double(busyNs) / 1e9;
    const qint64 lines = qint64(sent) * linesPerReply;
    const QString rate = linesPerReply > 1
                             ? QStringLiteral("%1 lines/s, ").arg(double(lines) / seconds, 0, 'f', 0)
                             : QString();
    std::printf(
        "| Flood of %s, %.1f MB | %s%.1f MB/s; loop latency median %.1f ms, p99 %.1f ms, max %.1f ms; "
        "log %d lines, last \"%s\" |\n",
        kind, double(received) / 1e6, qPrintable(rate), double(received) / 1e6 / seconds,
        percentile(late, 0.5), percentile(late, 0.99), percentile(late, 1.0), log->rowCount(),
        qPrintable(lastLine().left(24)));
    dialog.DispatchButton(zek::ctl::Connect);
    sim.terminate();
    sim.waitForFinished(5000);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QTemporaryDir startDir;
    QDir::setCurrent(startDir.path());
    // "flood 1" .. "flood 100000", each ended by CR.
    qint64 shortBytes = 0;
    for (int i = 1; i <= 100000; ++i)
        shortBytes += 7 + qint64(QByteArray::number(i).size());
    const QString which = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (which.isEmpty() || which == QLatin1String("short"))
        flood("short CR lines", {QStringLiteral("--flood"), QStringLiteral("100000")}, shortBytes, 100000);
    if (which.isEmpty() || which == QLatin1String("long"))
        flood("one endless line", {QStringLiteral("--long-line"), QStringLiteral("1000000")}, 1000001, 1);
    return 0;
}
