// The automatic read and the data-logger group's Read and Set against the zeksim program,
// whose modules write every reply line by itself (a clock answer arrives in two reads):
// each step runs once and no question is asked twice. And the fields the read fills.
// The program runs as scripts run it: started, searched on UDP port 8002, stopped.
#include "gui_helpers.h"

#include "gui/app/led_gauge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kTimeoutMs = 10000;
using Steps = QList<int>;

Steps range(int from, int to) {
    Steps steps;
    for (int s = from; s <= to; ++s)
        steps << s;
    return steps;
}

// The "State: %d" steps and the commands sent while `start` runs the sequence to its end.
struct Trace {
    Steps steps;
    QStringList sent;
};

Trace runToEnd(const GuiFixture& f, const std::function<void()>& start) {
    const qsizetype mark = f.logLines().size();
    start();
    Trace trace;
    const auto ended = [&] {
        trace = {};
        for (const QString& line : f.logLines().mid(mark)) {
            if (line.startsWith(QStringLiteral("State: ")))
                trace.steps << line.mid(7).toInt();
            else if (line.startsWith(QStringLiteral("SND: ")))
                trace.sent << line.mid(5).trimmed();
        }
        return trace.steps.size() > 1 && trace.steps.last() == 0 &&
               f.dialog().sessionState() == SessionState::Connected;
    };
    if (!QTest::qWaitFor(ended, kTimeoutMs))
        trace.steps << -1; // never ended
    return trace;
}

// The command words sent, each once, in order.
QStringList words(const QStringList& sent) {
    QStringList result;
    for (const QString& line : sent)
        result << line.section(QLatin1Char(' '), 0, 0);
    return result;
}

} // namespace

class TestReadSequence : public QObject {
    Q_OBJECT
private slots:
    void eachModuleOfTheProgramIsReadOnce();
    void automaticReadFillsEveryField();
};

void TestReadSequence::eachModuleOfTheProgramIsReadOnce() {
    QProcess zeksim;
    zeksim.setProcessChannelMode(QProcess::MergedChannels);
    zeksim.start(qEnvironmentVariable("ZEKSIM"), {QStringLiteral("--modules"), QStringLiteral("3")});
    QVERIFY(QTest::qWaitFor([&] { return zeksim.canReadLine(); }, kTimeoutMs));
    QVERIFY(zeksim.readLine().startsWith("zeksim: 3 modules"));

    GuiFixture f(50);
    f.startApp();
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    QVERIFY(f.waitForModules(3));
    const QStringList query = {"?STARTMSG", "?GERAET", "?REVISION", "?FIRMA"};
    const QStringList logger = {"?LOG_ON", "?TIME_UTC", "?DST_USE", "?DST_START", "?DST_STOP"};
    const QStringList snmp = {"?TRAP_IP1", "?TRAP_IP2", "?TRAP_IP3", "?SNMP_LOC"};
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* node = f.moduleNode(i);
        // The third generated module has neither logger nor traps; the read asks for SNMP all the same.
        const bool full = !node->text(0).contains(QStringLiteral("003"));
        f.tree()->setCurrentItem(node);
        f.dialog().control<QCheckBox>(ctl::AutoRead)->setChecked(true);

        Trace read = runToEnd(f, [&] { f.click(ctl::Connect); });
        const Steps expected = Steps{3, 8, 9} + range(10, full ? 24 : 13) + (full ? Steps{} : range(20, 24));
        QCOMPARE(read.steps, expected + Steps{0});
        QCOMPARE(read.sent, query + (full ? logger : QStringList()) + snmp);
        if (full) {
            read = runToEnd(f, [&] { f.click(ctl::LoggerGroupRead); });
            QCOMPARE(read.steps, range(14, 19) + Steps{0});
            QCOMPARE(read.sent, logger);

            f.dialog().control<QCheckBox>(ctl::LoggerActive)->setChecked(true);
            const Trace set = runToEnd(f, [&] { f.click(ctl::LoggerGroupSet); });
            QCOMPARE(set.steps, range(30, 36) + Steps{0});
            QCOMPARE(words(set.sent),
                     (QStringList{"!LOG_ON", "!DST_USE", "!DST_START", "!DST_STOP", "!TIME_UTC"}));
        }
        f.click(ctl::Connect);
        QVERIFY(f.waitForState(SessionState::Idle));
    }
    // Scripts stop the program with SIGTERM: it ends cleanly and says so. A Windows console
    // program gets no signal from outside: it is ended outright there.
    if (QSysInfo::productType() == QLatin1String("windows")) {
        zeksim.kill();
        QVERIFY(zeksim.waitForFinished(kTimeoutMs));
        return;
    }
    zeksim.terminate();
    QVERIFY(zeksim.waitForFinished(kTimeoutMs));
    QCOMPARE(std::pair(zeksim.exitStatus(), zeksim.exitCode()), std::pair(QProcess::NormalExit, 0));
    QVERIFY(zeksim.readAll().endsWith("zeksim: stopped\n"));
}

void TestReadSequence::automaticReadFillsEveryField() {
    GuiFixture f(50);
    SimModuleConfig module = GuiFixture::module(5, "boiler");
    module.state.trapIps = {0xC0A80114, 0, 0};
    module.state.loggerOn = true;
    module.state.logInterval = 15;
    QVERIFY(f.openWindow(module, true));
    QCOMPARE(runToEnd(f, [&] { f.click(ctl::Connect); }).steps.size(), 19);
    const auto* gauge = f.dialog().findChild<LedGauge*>(QString::number(ctl::Gauge));
    QTRY_COMPARE_WITH_TIMEOUT(gauge->value(), 100, kTimeoutMs);
    QCOMPARE(gauge->barColor(), QColor(0, 255, 0));

    const auto index = [&](int id) { return f.dialog().control<QComboBox>(id)->currentIndex(); };
    const auto checked = [&](int id) { return f.dialog().control<QCheckBox>(id)->isChecked(); };
    QCOMPARE(
        (QStringList{f.text(5173), f.text(5175), f.text(5177), f.text(5176), f.text(5200), f.text(5078)}),
        (QStringList{"1.02 date 05.12.24", "ZEK 100 Ethernet", "B2", "MERIDON", "Server room", "TLSHXD"}));
    QCOMPARE((QList<bool>{checked(5199), checked(5170), checked(5171)}), (QList<bool>{true, true, false}));
    QCOMPARE(index(5103), 14);
    QCOMPARE((QStringList{f.text(5101), f.text(5100), f.text(5099), f.text(5098)}),
             (QStringList{"192", "168", "1", "20"}));
}

QTEST_MAIN(TestReadSequence)
#include "test_read_sequence.moc"
