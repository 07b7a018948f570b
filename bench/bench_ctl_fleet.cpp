// A fleet of 260 modules worked through two ways, in one run against one zeksim: a script's
// loop of one zekctl per module (`read MAC`, `clock MAC --from-pc`), and the fleet commands
// (`audit`, `clock --all --from-pc`, `apply` of the audit's CSV with trap1 and snmp-location
// changed on every module). Prints each time, the ratios, zekctl's peak resident memory and
// open descriptors during the audit, and an audit of 1,000 modules. zekctl runs as the
// installed program does, one process per call. Opens sockets: run it inside a private
// network namespace (scripts/netns-run.sh).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
    double seconds = 0;
    double peakMb = 0; // VmHWM, the largest seen while it ran
    int peakFds = 0;
};

QString g_zekctl;

// The status line's figure in kB, 0 when the process is gone.
double statusKb(qint64 pid, const char* key) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toDouble();
    return 0;
}

// zekctl with the common options; `sample` watches its memory and descriptors as it runs.
Run zekctl(QStringList args, bool sample = false, int waitMs = 1500) {
    args << QStringLiteral("--from") << QStringLiteral("127.0.0.1") << QStringLiteral("--wait")
         << QString::number(waitMs);
    QProcess process;
    Run run;
    const auto start = Clock::now();
    process.start(g_zekctl, args);
    process.waitForStarted();
    const qint64 pid = process.processId();
    while (!process.waitForFinished(sample ? 2 : 30000)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (!sample)
            continue;
        run.peakMb = std::max(run.peakMb, statusKb(pid, "VmHWM:") / 1024);
        run.peakFds =
            std::max(run.peakFds, int(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                          .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                                          .size()));
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// CSV cells of one line, quotes kept, split at the commas outside them.
QList<QByteArray> cells(const QByteArray& line) {
    QList<QByteArray> out{{}};
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            out.append(QByteArray());
        else
            out.last() += c;
    }
    return out;
}

struct Fleet {
    QProcess sim;
    QList<QByteArray> macs;

    bool start(const QString& zeksim, int modules) {
        // Its log is not read here: a full pipe would stop it.
        sim.setStandardOutputFile(QProcess::nullDevice());
        sim.setStandardErrorFile(QProcess::nullDevice());
        sim.start(zeksim, {QStringLiteral("--modules"), QString::number(modules), QStringLiteral("--letters"),
                           QStringLiteral("LT")});
        for (int tries = 0; tries < 50; ++tries) {
            const Run found = zekctl(
                {QStringLiteral("search"), QStringLiteral("--format"), QStringLiteral("csv")}, false, 3000);
            QList<QByteArray> lines = found.out.trimmed().split('\n');
            if (lines.size() == modules + 1) {
                macs.clear();
                for (const QByteArray& line : lines.mid(1))
                    macs += cells(line).first();
                return true;
            }
            sim.waitForFinished(100);
        }
        return false;
    }
    ~Fleet() {
        sim.terminate();
        sim.waitForFinished(10000);
    }
};

void row(const char* figure, const QString& value) {
    std::printf("| %s | %s |\n", figure, qPrintable(value));
    std::fflush(stdout);
}

// "; Nx the loop" for a run that did its work; a failed one has nothing to compare.
QString ratio(double loopSeconds, const Run& run, const char* loop) {
    return run.code == 0
               ? QStringLiteral("; %1x %2").arg(loopSeconds / run.seconds, 0, 'f', 1).arg(QLatin1String(loop))
               : QString();
}

// "exit 1: the last line of what it said", to show why a step failed.
QString outcome(const Run& run) {
    if (run.code == 0)
        return QStringLiteral("exit 0");
    const QByteArray said = run.err.trimmed().isEmpty() ? run.out.trimmed() : run.err.trimmed();
    return QStringLiteral("exit %1: %2")
        .arg(run.code)
        .arg(QString::fromUtf8(said.split('\n').last().left(120)));
}

// Each module in turn, one zekctl each; returns the seconds and how many succeeded.
std::pair<double, int> loop(const Fleet& fleet, const QStringList& command, const QStringList& tail) {
    const auto start = Clock::now();
    int done = 0;
    for (const QByteArray& mac : fleet.macs)
        done += zekctl(command + QStringList{QString::fromLatin1(mac)} + tail).code == 0 ? 1 : 0;
    return {std::chrono::duration<double>(Clock::now() - start).count(), done};
}

// The audit CSV with trap1 and snmp-location set anew on every row.
QByteArray edited(const QByteArray& csv) {
    QList<QByteArray> lines = csv.trimmed().split('\n');
    const QList<QByteArray> header = cells(lines.first());
    const qsizetype trap = header.indexOf("trap1"), location = header.indexOf("snmp-location");
    if (trap < 0 || location < 0)
        return {};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QList<QByteArray> row = cells(lines[i]);
        row[trap] = "10.20.30." + QByteArray::number(i % 250 + 1);
        row[location] = "Hall 7 row " + QByteArray::number(i);
        lines[i] = row.join(',');
    }
    return lines.join('\n') + '\n';
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString zeksim = qEnvironmentVariable("ZEKSIM", QStringLiteral(ZEKSIM_PATH));
    g_zekctl = qEnvironmentVariable("ZEKCTL", QStringLiteral(ZEKCTL_PATH));
    QTemporaryDir dir;
    constexpr int kModules = 260;
    {
        Fleet fleet;
        if (!fleet.start(zeksim, kModules)) {
            row("Fleet of 260", QStringLiteral("zeksim did not come up"));
            return 1;
        }
        const auto [readLoop, read] = loop(fleet, {QStringLiteral("read")}, {});
        row("Fleet of 260: zekctl read MAC for each", QStringLiteral("%1 s (%2 ms a module), %3 read")
                                                          .arg(readLoop, 0, 'f', 1)
                                                          .arg(readLoop * 1000 / kModules, 0, 'f', 0)
                                                          .arg(read));
        const auto [clockLoop, clocked] =
            loop(fleet, {QStringLiteral("clock")}, {QStringLiteral("--from-pc")});
        row("Fleet of 260: zekctl clock MAC --from-pc for each",
            QStringLiteral("%1 s (%2 ms a module), %3 set")
                .arg(clockLoop, 0, 'f', 1)
                .arg(clockLoop * 1000 / kModules, 0, 'f', 0)
                .arg(clocked));

        const Run audit =
            zekctl({QStringLiteral("audit"), QStringLiteral("--format"), QStringLiteral("csv")}, true);
        const qsizetype rows = audit.out.trimmed().count('\n');
        row("Fleet of 260: zekctl audit",
            QStringLiteral("%1 s, %2 rows, %3%4; zekctl peak resident memory %5 MB, %6 descriptors open")
                .arg(audit.seconds, 0, 'f', 2)
                .arg(rows)
                .arg(outcome(audit), ratio(readLoop, audit, "the read loop"))
                .arg(audit.peakMb, 0, 'f', 1)
                .arg(audit.peakFds));
        const Run clock =
            zekctl({QStringLiteral("clock"), QStringLiteral("--all"), QStringLiteral("--from-pc")});
        row("Fleet of 260: zekctl clock --all --from-pc",
            QStringLiteral("%1 s, %2%3")
                .arg(clock.seconds, 0, 'f', 2)
                .arg(outcome(clock), ratio(clockLoop, clock, "the clock loop")));
        const QByteArray changed = edited(audit.out);
        const QString path = dir.filePath(QStringLiteral("fleet.csv"));
        QFile file(path);
        if (changed.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(changed) != changed.size()) {
            row("Fleet of 260: zekctl apply",
                QStringLiteral("no audit CSV with trap1 and snmp-location to edit"));
        } else {
            file.close();
            const Run apply = zekctl({QStringLiteral("apply"), path});
            const Run after =
                zekctl({QStringLiteral("audit"), QStringLiteral("--format"), QStringLiteral("csv")});
            row("Fleet of 260: zekctl apply, trap1 and snmp-location changed on each",
                QStringLiteral("%1 s, %2; a new audit matches the file on %3 of %4 rows")
                    .arg(apply.seconds, 0, 'f', 2)
                    .arg(outcome(apply))
                    .arg([&] {
                        // The same trap1 and location read back, row by row.
                        const QList<QByteArray> want = changed.split('\n'), got = after.out.split('\n');
                        const QList<QByteArray> header = cells(want.first());
                        const qsizetype trap = header.indexOf("trap1"),
                                        location = header.indexOf("snmp-location");
                        int same = 0;
                        for (qsizetype i = 1; i < std::min(want.size(), got.size()); ++i) {
                            const QList<QByteArray> a = cells(want[i]), b = cells(got[i]);
                            same += b.size() == a.size() && a[trap] == b[trap] && a[location] == b[location];
                        }
                        return same;
                    }())
                    .arg(kModules));
        }
    }
    {
        Fleet fleet;
        if (!fleet.start(zeksim, 1000)) {
            row("Fleet of 1000", QStringLiteral("zeksim did not come up"));
            return 1;
        }
        // The search alone takes a second: 1,000 replies, one a millisecond, as modules answer.
        const Run audit =
            zekctl({QStringLiteral("audit"), QStringLiteral("--format"), QStringLiteral("csv")}, true, 2500);
        row("Fleet of 1000: zekctl audit --wait 2500",
            QStringLiteral("%1 s, %2 rows, %3; zekctl peak resident memory %4 MB, %5 descriptors open")
                .arg(audit.seconds, 0, 'f', 2)
                .arg(audit.out.trimmed().count('\n'))
                .arg(outcome(audit))
                .arg(audit.peakMb, 0, 'f', 1)
                .arg(audit.peakFds));
    }
    return 0;
}
