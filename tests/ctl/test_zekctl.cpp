// The zekctl program against the zeksim program, both run as scripts run them, inside the
// test namespace. The fleet's own configuration is the oracle for what a search lists.
#include "sim/fleet_config.h"
#include "sim/sim_fleet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace zek;

namespace {

constexpr int kTimeoutMs = 30000;

struct Run {
    int code = -1;
    QString out, err;
};

class Fleet {
public:
    // `fleet`: the text of a fleet file, or empty for `--modules count`.
    explicit Fleet(const QString& fleet, int count = 0) {
        QStringList args{"--modules", QString::number(count)};
        if (!fleet.isEmpty()) {
            QFile file(m_dir.filePath("fleet.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(fleet.toLatin1()) > 0);
            args = {"--config", file.fileName()};
        }
        m_sim.setProcessChannelMode(QProcess::MergedChannels);
        m_sim.start(qEnvironmentVariable("ZEKSIM"), args);
        QVERIFY(QTest::qWaitFor([&] { return m_sim.canReadLine(); }, kTimeoutMs));
        QVERIFY(m_sim.readLine().startsWith("zeksim: "));
    }
    ~Fleet() {
        m_sim.terminate();
        m_sim.waitForFinished(kTimeoutMs);
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QProcess m_sim;
};

// Runs in the event loop, so that a fleet embedded in the test answers meanwhile.
Run zekctl(QStringList args, int waitMs = 1000, const QByteArray& input = {}) {
    if (!args.contains("--wait"))
        args << "--wait" << QString::number(waitMs);
    QProcess p;
    p.start(qEnvironmentVariable("ZEKCTL"), args << "--from"
                                                 << "127.0.0.1");
    p.write(input);
    p.closeWriteChannel();
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, kTimeoutMs))
        p.kill();
    p.waitForFinished();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A control character (C0 but the line end, DEL, C1) in what zekctl wrote.
bool rawControl(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c < u' ' && c != u'\n') || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    });
}

// Whether zekctl ended with `code` having printed `text` (as its output's end if `last`); what
// it printed shows when not.
bool says(const Run& run, int code, const QString& text, bool last = false) {
    if (run.code == code && (last ? run.out.endsWith(text) : (run.out + run.err).contains(text)))
        return true;
    qWarning("exit %d\n%s%s", run.code, qPrintable(run.out), qPrintable(run.err));
    return false;
}

void writeFile(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toLatin1()) == text.size());
}

QString ipText(quint32 a) {
    return QStringLiteral("%1.%2.%3.%4").arg(a >> 24).arg(a >> 16 & 255).arg(a >> 8 & 255).arg(a & 255);
}

} // namespace

class TestZekctl : public QObject {
    Q_OBJECT
private slots:
    void searchInEveryFormat();
    void setIsVerifiedAndAnIgnoredSetIsReported();
    void applyFiftyModules();
    void backupRestoreRoundTrip();
    void clockFromPcAndInBothSwitchHours();
    void badInputAndBadPeers();
    void hostileModulesAndMistakenFiles();
    void fleetAuditClockApplyAndRestore();
    void brokenModulesHoldUpNoOther();
};

void TestZekctl::searchInEveryFormat() {
    Fleet fleet(QString(), 4);
    const Run csv = zekctl({"search", "--format", "csv"}, 300);
    const Run json = zekctl({"search", "--format=json"}, 300);
    const Run table = zekctl({"search"}, 300);
    QCOMPARE(csv.code, 0);
    QStringList lines = csv.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.takeFirst(), "mac,serial,ip,netmask,gateway,dhcp,name,port,mode");
    lines.sort();
    const QJsonArray modules = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(modules.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const SimModuleConfig m = generatedModule(i);
        const QString mode = m.network.mode ? QString::number(*m.network.mode) : QString();
        QCOMPARE(lines[i],
                 QStringLiteral("02 5A 45 00 00 %1,%2,%3,%4,%5,%6,%7,%8,%9")
                     .arg(i + 1, 2, 10, QLatin1Char('0'))
                     .arg(m.serial)
                     .arg(ipText(m.network.ip), ipText(m.network.netmask), ipText(m.network.gateway),
                          m.network.dhcp ? "on" : "off", QString::fromLatin1(m.network.name()))
                     .arg(m.network.port)
                     .arg(mode));
        QVERIFY(table.out.contains(QStringLiteral("%1  ").arg(m.serial)));
    }
}

void TestZekctl::setIsVerifiedAndAnIgnoredSetIsReported() {
    Fleet fleet("[module]\nname = Z\u00e4hler\n[module]\nignore-set = yes\n");
    // The simulator holds the name in Latin-1; zekctl shows it in UTF-8.
    QVERIFY(zekctl({"search", "--format=csv"}, 300).out.contains(",Z\u00e4hler,"));
    // Typed in UTF-8, held by the module in Latin-1, shown in UTF-8 again.
    QVERIFY(says(zekctl({"set", "02:5a:45:00:00:01", "--ip", "127.0.0.40", "--name", "K\u00fchlraum"}), 0,
                 "name \"K\u00fchlraum\": took"));
    QCOMPARE(zekctl({"read", "127.0.0.40"}).code, 0);
    QVERIFY(says(zekctl({"set", "127.0.0.3", "--port", "9000"}), 1,
                 "port \"9000\": NOT TAKEN, the module reports \"10002\""));
}

void TestZekctl::applyFiftyModules() {
    Fleet fleet(QString(), 50);
    Run csv = zekctl({"search", "--format", "csv"}, 500);
    QCOMPARE(csv.out.count(u'\n'), 51);
    // Every module renamed and moved, as a technician edits the search's own file.
    csv.out.replace(",ZEK module ", ",Hall ").replace("127.0.0.", "127.0.1.");
    writeFile(fleet.path("fleet.csv"), csv.out);
    QVERIFY(says(zekctl({"apply", fleet.path("fleet.csv"), "--dry-run"}), 0,
                 "50 modules: 50 to change, 0 not taken, 0 missing, 0 unchanged\n", true));
    QVERIFY(says(zekctl({"apply", fleet.path("fleet.csv")}, 3000), 0,
                 "50 modules: 50 took, 0 not taken, 0 missing, 0 unchanged\n", true));
    QVERIFY(zekctl({"search", "--format=csv"}, 500).out.contains(u",127.0.1.51,"));
}

void TestZekctl::backupRestoreRoundTrip() {
    Fleet fleet(QString(), 1);
    const QString module = "127.0.0.2";
    const Run backup = zekctl({"backup", module});
    QCOMPARE(backup.code, 0);
    writeFile(fleet.path("module.json"), backup.out);
    const Run write = zekctl({"write", module, "--logger", "9", "--dst-stop", "first saturday November 4:00",
                              "--trap3", "192.0.2.9", "--snmp-location", "Roof"});
    QCOMPARE(write.code, 0);
    QCOMPARE(write.out.count(": took"), 4);
    const QString read = zekctl({"read", module}).out;
    QVERIFY(read.contains("trap3:         192.0.2.9\n"));
    QVERIFY(read.contains("dst-stop:      0 6 11 4\n")); // read keeps printing numbers
    const Run restore = zekctl({"restore", module, fleet.path("module.json")});
    QCOMPARE(restore.code, 0);
    QCOMPARE(zekctl({"backup", module}).out, backup.out);
}

void TestZekctl::clockFromPcAndInBothSwitchHours() {
    // The second module keeps Sydney's rules, summer time across the turn of the year.
    Fleet fleet("[module]\n[module]\ndst-start = 0 0 10 2\ndst-stop = 0 0 4 3\n");
    const auto clock = [](const QString& date, const QStringList& more = {}) {
        return zekctl(
            QStringList{"clock", "127.0.0.2", "--time", "02:30:00", "--date", date, "--zone", "+1.00"} +
            more);
    };
    QCOMPARE(zekctl({"clock", "127.0.0.2", "--from-pc"}).code, 0);
    // The fleet's rules: summer time from the last Sunday of March 02:00 to that of October 03:00.
    QVERIFY(says(clock("30.03.25"), 2, "skipped"));
    QCOMPARE(clock("26.10.25").code, 2);
    QVERIFY(says(clock("26.10.25", {"--dst-answer", "summer"}), 0, "clock \"00:30:"));
    QVERIFY(
        says(zekctl({"clock", "127.0.0.3", "--time", "12:00:00", "--date", "15.01.26", "--zone", "+10.00"}),
             0, "clock \"01:00:"));
}

void TestZekctl::badInputAndBadPeers() {
    Fleet fleet("[module]\nclose-after = 2\n[module]\nflood = 5\nnever-answer = FIRMA\n");
    const struct {
        QStringList args;
        int code;
        const char* err;
    } rows[] = {
        {{"set", "02:5A:45:00:00", "--ip", "127.0.0.9"}, 2, "MODULE is a MAC or an IP address"},
        {{"set", "127.0.0.2", "--name", QString(33, u'n')}, 2, "name longer than 32 characters"},
        {{"write", "127.0.0.2", "--trap1", "300.1.1.1"}, 2, "trap1 is an IPv4 address or off"},
        {{"read", "127.0.0.9"}, 1, "module 127.0.0.9 did not answer a search"},
        {{"read", "127.0.0.2"}, 1, "127.0.0.2:10001"}, // closed or reset
        {{"read", "127.0.0.3"}, 1, "no reply to ?FIRMA from 127.0.0.3:10002 within 500 ms"},
    };
    for (const auto& row : rows) {
        const Run run = zekctl(row.args, 500);
        QCOMPARE(run.code, row.code);
        QVERIFY2(run.err.contains(QLatin1String(row.err)) && run.err.count(u'\n') == 1, qPrintable(run.err));
    }
}

void TestZekctl::hostileModulesAndMistakenFiles() {
    std::vector<SimModuleConfig> m = generateModules(8);
    m[0].faults.errorFor = {{"GERAET", 1}};
    m[1].faults.customReplies = {{"GERAET", {"!REVISION B2"}}};
    m[2].faults.customReplies = {{"FIRMA", QList<QByteArray>(40, "unasked")}};
    m[3].network.setName("\x1b]0;owned\x07\x1b[2J=1+1\n\x9b");
    m[3].state.deviceType = "\x1b[2J\x7f";
    m[3].state.snmpLocation = "Roof\x1b[31m\x85";
    m[4].network.ip = m[5].network.ip = 0x7F00003C; // 127.0.0.60 twice
    m[6].network.ip = 0;
    SimFleet fleet(m);
    fleet.setOptions({.rebootMs = 600000});
    QVERIFY(fleet.start());
    QTemporaryDir dir;
    const QString csv = zekctl({"search", "--format=csv"}).out;
    const QByteArray backup3 = zekctl({"backup", "127.0.0.5"}).out.toUtf8();
    const QByteArray backup7 = zekctl({"backup", "127.0.0.9"}).out.toUtf8();
    writeFile(dir.filePath("3.json"), QString::fromUtf8(backup3));
    const QString zz = QString::fromUtf8(backup7).replace("02 5A 45 00 00 08", "zz");
    const struct {
        QStringList args;
        int code;
        QString text;
        QByteArray input = {};
    } rows[] = {
        {{"read", "127.0.0.2"}, 1, "module answered \"!ERROR 1\" to ?GERAET"},
        {{"read", "127.0.0.3"}, 1, "module answered \"!REVISION B2\" to ?GERAET"},
        {{"read", "127.0.0.4"}, 1, "module answered \"unasked\" to ?FIRMA"},
        {{"read", "127.0.0.5", "--verbose", "--wait", "100"}, 0, "\\x1b[2J\\x7f"},
        {{"read", "127.0.0.5", "--format=json"}, 0, "\"snmp-location\": \"Roof\\u001b[31m\\u0085\""},
        {{"search"}, 0, "\\x1b]0;owned\\x07\\x1b[2J=1+1\\x0a\\x9b"},
        {{"search", "--format=json"}, 0, "\"\\u001b]0;owned\\u0007\\u001b[2J=1+1\\u000a\\u009b\""},
        {{"apply", "-", "--dry-run"},
         0,
         "8 modules: 0 to change, 0 not taken, 0 missing, 8 unchanged",
         csv.toUtf8()},
        {{"restore", "127.0.0.5", "-"}, 0, "snmp-location \"Roof\\x1b[31m\\x85\": took", backup3},
        {{"restore", "127.0.0.9", dir.filePath("3.json")},
         2,
         "is the backup of 02 5A 45 00 00 04, not of 02 5A 45 00 00 08"},
        {{"restore", "127.0.0.9", dir.filePath("3.json"), "--to-other-module"},
         2,
         "IP 127.0.0.5 for 02 5A 45 00 00 04 (keeps it) and 02 5A 45 00 00 08 (asked)"},
        {{"restore", "127.0.0.9", "-"}, 2, "bad MAC 'zz'", zz.toUtf8()},
        {{"restore", "127.0.0.9", "-"}, 2, "key 'dst' twice", backup7.chopped(2) + ",\"dst\": \"on\"}"},
        {{"set", "127.0.0.60", "--port", "9000"},
         2,
         "more than one module answers with IP 127.0.0.60: 02 5A 45 00 00 05, 02 5A 45 00 00 06"},
        {{"read", "02:5A:45:00:00:07"},
         1,
         "the module reports IP 0.0.0.0, an address of no host: not connecting"},
        {{"set", "127.0.0.9"}, 2, "set needs at least one value"},
        {{"set", "127.0.0.9", "--ip", "127.0.0.3"}, 2, "IP 127.0.0.3 for 02 5A 45 00 00 02 (keeps it) and"},
        {{"apply", "-"},
         2,
         "IP 127.0.0.50 for 02 5A 45 00 00 01 (line 2) and 02 5A 45 00 00 02 (line 3)",
         "mac,ip\n02:5A:45:00:00:01,127.0.0.50\n02:5A:45:00:00:02,127.0.0.50\n"},
        {{"apply", "-"},
         2,
         "line 2: IP address 0.0.0.0 is an address of no host",
         "\xEF\xBB\xBFmac,ip\r02:5A:45:00:00:08,0.0.0.0\r"},
        {{"set", "02:5A:45:00:00:08", "--port", "9000", "--wait", "300"},
         1,
         "02 5A 45 00 00 08  did not answer after the reboot within 300 ms"},
    };
    for (const auto& row : rows) {
        // Nothing is sent by a refused command: the modules have no values waiting.
        for (int i = 0; i < fleet.moduleCount(); ++i)
            QVERIFY(!fleet.module(i).pending());
        const Run run = zekctl(row.args, 1000, row.input);
        QVERIFY2(says(run, row.code, row.text), qPrintable(row.args.join(u' ')));
        QVERIFY2(!rawControl(run.out + run.err), qPrintable(run.out + run.err));
    }
}

// The audit's cells of each module, by column name.
QList<QMap<QString, QString>> auditRows(const QString& csv) {
    QStringList lines = csv.split(u'\n', Qt::SkipEmptyParts);
    const QStringList header = lines.takeFirst().split(u',');
    QList<QMap<QString, QString>> rows;
    for (const QString& line : lines) {
        const QStringList cells = line.split(u',');
        QMap<QString, QString> row;
        for (int i = 0; i < header.size() && i < cells.size(); ++i)
            row[header[i]] = cells[i];
        rows << row;
    }
    return rows;
}

void TestZekctl::fleetAuditClockApplyAndRestore() {
    // Every clock 500 s fast: the fleet as the simulator holds it is the oracle.
    std::vector<SimModuleConfig> config = generateModules(60);
    for (SimModuleConfig& m : config)
        m.state.clockOffsetSecs = 500;
    SimFleet fleet(config);
    // The test's event loop runs between pauses: a paced search would be answered late.
    fleet.setOptions({.replySpacingMs = 0});
    QVERIFY(fleet.start());
    QTemporaryDir dir;
    const auto audit = [] { return zekctl({"audit", "--format=csv"}, 500); };
    const Run before = audit();
    QCOMPARE(before.code, 0);
    const auto rows = auditRows(before.out);
    QCOMPARE(rows.size(), 60);
    int clocks = 0;
    for (int i = 0; i < 60; ++i) {
        const SimModuleConfig& m = config[std::size_t(i)];
        const QMap<QString, QString>& row = rows[i];
        const bool logger = m.state.letters.contains('L'), traps = m.state.letters.contains('T');
        clocks += logger;
        QCOMPARE(row["mac"], simMacText(m.mac));
        QCOMPARE(row["ip"], ipText(m.network.ip));
        QCOMPARE(row["name"], QString::fromLatin1(m.network.name()));
        QCOMPARE(row["serial"], QString::number(m.serial));
        QCOMPARE(row["letters"], QString::fromLatin1(m.state.letters));
        QCOMPARE(row["device"], QString::fromLatin1(m.state.deviceType));
        QCOMPARE(row["logger"], logger ? "off" : QString());
        QCOMPARE(row["dst-start"], logger ? "last Sunday March 02:00" : QString());
        QCOMPARE(row["dst-stop"], logger ? "last Sunday October 03:00" : QString());
        QCOMPARE(row["trap1"], traps ? "off" : QString());
        QCOMPARE(row["snmp-location"], traps ? QString::fromLatin1(m.state.snmpLocation) : QString());
        QVERIFY2(!logger || std::abs(row["clock-drift"].toInt() - 500) <= 1, qPrintable(row["clock-drift"]));
    }
    const Run backup = zekctl({"backup", "--all"}, 500);
    QCOMPARE(QJsonDocument::fromJson(backup.out.toUtf8()).array().size(), 60);
    writeFile(dir.filePath("fleet.json"), backup.out);

    QVERIFY(says(zekctl({"clock", "--all", "--from-pc"}, 500), 0,
                 QStringLiteral("60 modules: %1 took, 0 not taken, 0 failed, %2 skipped\n")
                     .arg(clocks)
                     .arg(60 - clocks),
                 true));
    for (int i = 0; i < 60; ++i)
        QVERIFY(std::abs(fleet.module(i).state().clockOffsetSecs) <= 2 ||
                !config[std::size_t(i)].state.letters.contains('L'));

    // The audit's own file, edited as a technician would, written back and audited again.
    QString edited = before.out;
    edited.replace(",off,off,off,Server room,", ",192.0.2.7,off,off,\"Hall, 2\",");
    writeFile(dir.filePath("fleet.csv"), edited);
    QVERIFY(says(zekctl({"apply", dir.filePath("fleet.csv")}, 1000), 0, "took: trap1, snmp-location\n"));
    for (const auto& row : auditRows(audit().out)) {
        const bool traps = row["letters"].contains(u'T');
        QCOMPARE(row["trap1"], traps ? "192.0.2.7" : QString());
        QVERIFY(!row["logger"].isEmpty() == row["letters"].contains(u'L'));
        QVERIFY2(row["clock-drift"].isEmpty() || std::abs(row["clock-drift"].toInt()) <= 2,
                 qPrintable(row["clock-drift"]));
    }
    for (int i = 0; i < 60; ++i)
        QCOMPARE(fleet.module(i).state().snmpLocation, config[std::size_t(i)].state.letters.contains('T')
                                                           ? QByteArray("Hall, 2")
                                                           : QByteArray("Server room"));

    // The backup taken before puts every location back.
    const Run restore = zekctl({"restore", dir.filePath("fleet.json")}, 1000);
    QCOMPARE(restore.code, 0);
    for (int i = 0; i < 60; ++i)
        QCOMPARE(fleet.module(i).state().snmpLocation, QByteArray("Server room"));
}

void TestZekctl::brokenModulesHoldUpNoOther() {
    std::vector<SimModuleConfig> m = generateModules(9);
    m[1].faults.refuse = true;
    m[2].faults.silent = true;
    m[3].faults.customReplies = {{"STARTMSG", {"\x01\xfe\x7f garbage"}}};
    m[4].faults.resetAfter = 2;
    m[6].mac = m[5].mac; // a second module with another's MAC
    SimFleet fleet(m);
    fleet.setOptions({.replySpacingMs = 0});
    QVERIFY(fleet.start());
    QTemporaryDir dir;
    writeFile(dir.filePath("some.txt"), "02:5a:45:00:00:09\n# not this one\n02:5a:45:00:00:77\n127.0.0.2\n");
    const Run audit = zekctl({"audit", "--format=csv"}, 500);
    QCOMPARE(audit.code, 1);
    const auto rows = auditRows(audit.out);
    QCOMPARE(rows.size(), 9);
    const struct {
        int index;
        const char* problem; // empty: a good module, read whole
    } expected[] = {
        {0, ""},
        {1, "cannot connect to 127.0.0.3:10002: Connection refused"},
        {2, "no reply to ?STARTMSG from 127.0.0.4:10003 within 500 ms"},
        {3, "\\x01\xfe\\x7f garbage"}, // shown as Latin-1, controls escaped
        {4, "127.0.0.6:10005"},
        {5, "another module answers with this MAC from 127.0.0.8"},
        {6, "another module answers with this MAC from 127.0.0.7"},
        {7, ""},
        {8, ""},
    };
    for (const auto& row : expected) {
        const auto& cells = rows[row.index];
        QCOMPARE(cells["ip"], ipText(m[std::size_t(row.index)].network.ip));
        QVERIFY2(cells["problem"].contains(QLatin1String(row.problem)), qPrintable(cells["problem"]));
        QVERIFY(*row.problem || cells["problem"].isEmpty());
        // A module whose session failed shows none of its session values.
        const bool read = !*row.problem || row.index >= 5;
        QCOMPARE(cells["device"], read ? "ZEK 100 Ethernet" : QString());
    }
    QVERIFY(!rawControl(audit.out + audit.err));
    const Run some = zekctl({"read", "--modules", dir.filePath("some.txt"), "--format=json"}, 500);
    QCOMPARE(some.code, 1);
    const QJsonArray read = QJsonDocument::fromJson(some.out.toUtf8()).array();
    QCOMPARE(read.size(), 3);
    QCOMPARE(read[0]["ip"].toString(), "127.0.0.10");
    QCOMPARE(read[1]["problem"].toString(), "no answer to the search within 500 ms");
    QCOMPARE(read[2]["device"].toString(), "ZEK 100 Ethernet");
    QVERIFY(says(zekctl({"write", "--all", "--snmp-location", "Roof"}, 500), 1,
                 "9 modules: 3 took, 0 not taken, 4 failed, 2 skipped\n", true));
}

QTEST_GUILESS_MAIN(TestZekctl)
#include "test_zekctl.moc"
