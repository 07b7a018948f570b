// The zekctl program against the zeksim program, both run as scripts run them, inside the
// test namespace. The fleet's own configuration is the oracle for what a search lists.
#include "sim/fleet_config.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
        QStringList args{QStringLiteral("--modules"), QString::number(count)};
        if (!fleet.isEmpty()) {
            QFile file(m_dir.filePath(QStringLiteral("fleet.ini")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(fleet.toLatin1()) > 0);
            args = {QStringLiteral("--config"), file.fileName()};
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

Run zekctl(QStringList args, int waitMs = 1000) {
    args << QStringLiteral("--from") << QStringLiteral("127.0.0.1") << QStringLiteral("--wait")
         << QString::number(waitMs);
    QProcess p;
    p.start(qEnvironmentVariable("ZEKCTL"), args);
    if (!p.waitForFinished(kTimeoutMs))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
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
};

void TestZekctl::searchInEveryFormat() {
    Fleet fleet(QString(), 4);
    const Run csv =
        zekctl({QStringLiteral("search"), QStringLiteral("--format"), QStringLiteral("csv")}, 300);
    const Run json = zekctl({QStringLiteral("search"), QStringLiteral("--format=json")}, 300);
    const Run table = zekctl({QStringLiteral("search")}, 300);
    QCOMPARE(csv.code, 0);
    QStringList lines = csv.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.takeFirst(), QStringLiteral("mac,serial,ip,netmask,gateway,dhcp,name,port,mode"));
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
        bool listed = false;
        for (const QJsonValue v : modules)
            listed = listed || (v[QStringLiteral("serial")].toInt() == int(m.serial) &&
                                v[QStringLiteral("port")].toInt() == m.network.port);
        QVERIFY(listed);
        QVERIFY(table.out.contains(QStringLiteral("%1  ").arg(m.serial)));
    }
}

void TestZekctl::setIsVerifiedAndAnIgnoredSetIsReported() {
    Fleet fleet(QStringLiteral("[module]\nname = Z\u00e4hler\n[module]\nignore-set = yes\n"));
    // The simulator holds the name in Latin-1; zekctl shows it in UTF-8.
    QVERIFY(zekctl({QStringLiteral("search"), QStringLiteral("--format=csv")}, 300)
                .out.contains(QStringLiteral(",Z\u00e4hler,")));
    const Run set =
        zekctl({QStringLiteral("set"), QStringLiteral("02:5a:45:00:00:01"), QStringLiteral("--ip"),
                QStringLiteral("127.0.0.40"), QStringLiteral("--name"), QStringLiteral("K\u00fchlraum")});
    QCOMPARE(set.code, 0);
    // Typed in UTF-8, held by the module in Latin-1, shown in UTF-8 again.
    QVERIFY2(set.out.contains(QStringLiteral("name \"K\u00fchlraum\": took")), qPrintable(set.out));
    QCOMPARE(zekctl({QStringLiteral("read"), QStringLiteral("127.0.0.40")}).code, 0);
    const Run ignored = zekctl({QStringLiteral("set"), QStringLiteral("127.0.0.3"), QStringLiteral("--port"),
                                QStringLiteral("9000")});
    QCOMPARE(ignored.code, 1);
    QVERIFY2(ignored.out.contains(QStringLiteral("port \"9000\": NOT TAKEN, the module reports \"10002\"")),
             qPrintable(ignored.out));
}

void TestZekctl::applyFiftyModules() {
    Fleet fleet(QString(), 50);
    Run csv = zekctl({QStringLiteral("search"), QStringLiteral("--format"), QStringLiteral("csv")}, 500);
    QCOMPARE(csv.out.count(u'\n'), 51);
    // Every module renamed and moved, as a technician edits the search's own file.
    csv.out.replace(QStringLiteral(",ZEK module "), QStringLiteral(",Hall "))
        .replace(QStringLiteral("127.0.0."), QStringLiteral("127.0.1."));
    writeFile(fleet.path(QStringLiteral("fleet.csv")), csv.out);
    const Run dry = zekctl(
        {QStringLiteral("apply"), fleet.path(QStringLiteral("fleet.csv")), QStringLiteral("--dry-run")});
    QVERIFY2(
        dry.out.endsWith(QStringLiteral("50 modules: 50 to change, 0 not taken, 0 missing, 0 unchanged\n")),
        qPrintable(dry.out));
    const Run apply = zekctl({QStringLiteral("apply"), fleet.path(QStringLiteral("fleet.csv"))}, 3000);
    QCOMPARE(apply.code, 0);
    QVERIFY2(apply.out.endsWith(QStringLiteral("50 modules: 50 took, 0 not taken, 0 missing, 0 unchanged\n")),
             qPrintable(apply.out));
    QVERIFY(zekctl({QStringLiteral("search"), QStringLiteral("--format=csv")}, 500)
                .out.contains(u",127.0.1.51,"));
}

void TestZekctl::backupRestoreRoundTrip() {
    Fleet fleet(QString(), 1);
    const QString module = QStringLiteral("127.0.0.2");
    const Run backup = zekctl({QStringLiteral("backup"), module});
    QCOMPARE(backup.code, 0);
    writeFile(fleet.path(QStringLiteral("module.json")), backup.out);
    const Run write =
        zekctl({QStringLiteral("write"), module, QStringLiteral("--logger"), QStringLiteral("9"),
                QStringLiteral("--dst-stop"), QStringLiteral("0 6 11 4"), QStringLiteral("--trap3"),
                QStringLiteral("192.0.2.9"), QStringLiteral("--snmp-location"), QStringLiteral("Roof")});
    QCOMPARE(write.code, 0);
    QCOMPARE(write.out.count(QStringLiteral(": took")), 4);
    QVERIFY(
        zekctl({QStringLiteral("read"), module}).out.contains(QStringLiteral("trap3:         192.0.2.9\n")));
    const Run restore =
        zekctl({QStringLiteral("restore"), module, fleet.path(QStringLiteral("module.json"))});
    QCOMPARE(restore.code, 0);
    QCOMPARE(zekctl({QStringLiteral("backup"), module}).out, backup.out);
}

void TestZekctl::clockFromPcAndInBothSwitchHours() {
    // The second module keeps Sydney's rules, summer time across the turn of the year.
    Fleet fleet(QStringLiteral("[module]\n[module]\ndst-start = 0 0 10 2\ndst-stop = 0 0 4 3\n"));
    const auto clock = [](const QString& date, const QStringList& more = {}) {
        return zekctl(QStringList{QStringLiteral("clock"), QStringLiteral("127.0.0.2"),
                                  QStringLiteral("--time"), QStringLiteral("02:30:00"),
                                  QStringLiteral("--date"), date, QStringLiteral("--zone"),
                                  QStringLiteral("+1.00")} +
                      more);
    };
    QCOMPARE(zekctl({QStringLiteral("clock"), QStringLiteral("127.0.0.2"), QStringLiteral("--from-pc")}).code,
             0);
    // The fleet's rules: summer time from the last Sunday of March 02:00 to that of October 03:00.
    const Run skipped = clock(QStringLiteral("30.03.25"));
    QCOMPARE(skipped.code, 2);
    QVERIFY(skipped.err.contains(QStringLiteral("skipped")));
    QCOMPARE(clock(QStringLiteral("26.10.25")).code, 2);
    const Run summer =
        clock(QStringLiteral("26.10.25"), {QStringLiteral("--dst-answer"), QStringLiteral("summer")});
    QCOMPARE(summer.code, 0);
    QVERIFY2(summer.out.contains(QStringLiteral("clock \"00:30:")), qPrintable(summer.out));
    const Run sydney =
        zekctl({QStringLiteral("clock"), QStringLiteral("127.0.0.3"), QStringLiteral("--time"),
                QStringLiteral("12:00:00"), QStringLiteral("--date"), QStringLiteral("15.01.26"),
                QStringLiteral("--zone"), QStringLiteral("+10.00")});
    QVERIFY2(sydney.out.contains(QStringLiteral("clock \"01:00:")), qPrintable(sydney.out));
}

void TestZekctl::badInputAndBadPeers() {
    Fleet fleet(QStringLiteral("[module]\nclose-after = 2\n[module]\nflood = 5\nnever-answer = FIRMA\n"));
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
        {{"read", "127.0.0.3"}, 1, "stopped answering"},
    };
    for (const auto& row : rows) {
        const Run run = zekctl(row.args, 500);
        QCOMPARE(run.code, row.code);
        QVERIFY2(run.err.contains(QLatin1String(row.err)) && run.err.count(u'\n') == 1, qPrintable(run.err));
    }
}

QTEST_GUILESS_MAIN(TestZekctl)
#include "test_zekctl.moc"
