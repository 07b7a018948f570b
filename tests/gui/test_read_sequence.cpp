// The automatic read after connecting and the group Read and Set buttons, against the
// simulated module: the "State: %d" lines, the gauge, the fields filled and the commands
// the module received.
#include "gui_helpers.h"

#include "gui/app/led_gauge.h"
#include "gui/session/session_connection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

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

// A module that answers at once, each reply in one write.
SimModuleConfig promptModule(const QByteArray& letters = "TLSHXD") {
    SimModuleConfig m = GuiFixture::module(5, "boiler");
    m.state.letters = letters;
    m.faults.merge = true;
    return m;
}

class Session {
public:
    Session(GuiFixture& f, const SimModuleConfig& module, bool automatic) : m_f(f) {
        GuiFixture::installLanguageFiles();
        ok = f.startFleet({module});
        f.startApp();
        ok = ok && f.selectInterface(QStringLiteral("127.0.0.1")) && f.waitForModules(1);
        if (!ok)
            return;
        f.tree()->setCurrentItem(f.moduleNode(0));
        f.dialog().control<QCheckBox>(5192)->setChecked(automatic);
        QObject::connect(&f.fleet(), &SimFleet::tcpLineReceived,
                         [this](int, const QByteArray& line) { received << line; });
        mark = int(f.logLines().size());
        f.click(5006);
    }

    // The step numbers logged since the mark.
    Steps states() const {
        Steps steps;
        for (const QString& line : m_f.logLines().mid(mark))
            if (line.startsWith(QStringLiteral("State: ")))
                steps << line.mid(7).toInt();
        return steps;
    }
    bool waitForEnd() const {
        return QTest::qWaitFor(
            [&] {
                const Steps s = states();
                return s.size() > 1 && s.last() == 0 &&
                       m_f.dialog().sessionState() == SessionState::Connected;
            },
            kTimeoutMs);
    }
    // From now on, count steps and received commands afresh.
    void restart() {
        mark = int(m_f.logLines().size());
        received.clear();
    }
    LedGauge* gauge() const { return m_f.dialog().findChild<LedGauge*>(QStringLiteral("1500")); }
    QString text(int id) const { return m_f.dialog().control<QLineEdit>(id)->text(); }
    int index(int id) const { return m_f.dialog().control<QComboBox>(id)->currentIndex(); }

    bool ok = false;
    int mark = 0;
    QList<QByteArray> received;

private:
    GuiFixture& m_f;
};

} // namespace

class TestReadSequence : public QObject {
    Q_OBJECT
private slots:
    void automaticReadFillsEveryField();
    void identityOnlyWhenNotAutomatic();
    void moduleWithoutLoggerGoesToSnmp();
    void unansweredStartMessageIsRepeated();
    void errorSkipsTheAwaitedValue();
    void loggerSetWithInactiveLogger();
    void snmpSetWithoutTraps();
};

void TestReadSequence::automaticReadFillsEveryField() {
    GuiFixture f;
    SimModuleConfig module = promptModule();
    module.state.trapIps = {0xC0A80114, 0, 0};
    module.state.loggerOn = true;
    module.state.logInterval = 15;
    Session s(f, module, true);
    QVERIFY(s.ok);
    QVERIFY(s.waitForEnd());
    QCOMPARE(s.states(), (Steps{3, 8, 9} + range(10, 24) + Steps{0}));
    QTRY_COMPARE_WITH_TIMEOUT(s.gauge()->value(), 100, kTimeoutMs);
    QCOMPARE(s.gauge()->barColor(), QColor(0, 255, 0));

    QCOMPARE(s.text(5173), QStringLiteral("1.02 date 05.12.24"));
    QCOMPARE(s.text(5175), QStringLiteral("ZEK 100 Ethernet"));
    QCOMPARE(s.text(5177), QStringLiteral("B2"));
    QCOMPARE(s.text(5176), QStringLiteral("MERIDON"));
    QCOMPARE(s.text(5200), QStringLiteral("Server room"));
    QCOMPARE(f.dialog().control<QLabel>(5078)->text(), QStringLiteral("TLSHXD"));
    QVERIFY(f.dialog().control<QCheckBox>(5199)->isChecked());
    QCOMPARE(s.index(5103), 14);
    QVERIFY(f.dialog().control<QCheckBox>(5124)->isChecked());
    QCOMPARE((QList<int>{s.index(5133), s.index(5127), s.index(5130), s.index(5131)}),
             (QList<int>{4, 6, 2, 2}));
    QCOMPARE((QList<int>{s.index(5134), s.index(5128), s.index(5129), s.index(5132)}),
             (QList<int>{4, 6, 9, 3}));
    QCOMPARE((QStringList{s.text(5101), s.text(5100), s.text(5099), s.text(5098)}),
             (QStringList{"192", "168", "1", "20"}));
    QVERIFY(f.dialog().control<QCheckBox>(5170)->isChecked());
    QVERIFY(!f.dialog().control<QCheckBox>(5171)->isChecked());
    QCOMPARE(s.received, (QList<QByteArray>{"?STARTMSG", "?GERAET", "?REVISION", "?FIRMA", "?LOG_ON",
                                            "?TIME_UTC", "?DST_USE", "?DST_START", "?DST_STOP", "?TRAP_IP1",
                                            "?TRAP_IP2", "?TRAP_IP3", "?SNMP_LOC"}));
}

void TestReadSequence::identityOnlyWhenNotAutomatic() {
    GuiFixture f;
    Session s(f, promptModule(), false);
    QVERIFY(s.ok);
    QVERIFY(s.waitForEnd());
    QCOMPARE(s.states(), (Steps{3, 8, 9, 10, 11, 12, 13, 0}));
    QCOMPARE(s.received.size(), 4);
    QCOMPARE(s.gauge()->value(), 0);
}

void TestReadSequence::moduleWithoutLoggerGoesToSnmp() {
    GuiFixture f;
    Session s(f, promptModule("TSH"), true);
    QVERIFY(s.ok);
    QVERIFY(s.waitForEnd());
    QCOMPARE(s.states(), (Steps{3, 8, 9} + range(10, 13) + range(20, 24) + Steps{0}));
}

void TestReadSequence::unansweredStartMessageIsRepeated() {
    GuiFixture f;
    SimModuleConfig module = promptModule();
    module.faults.neverAnswer = {"STARTMSG"};
    Session s(f, module, true);
    QVERIFY(s.ok);
    QTRY_VERIFY_WITH_TIMEOUT(s.received.size() >= 3, kTimeoutMs);
    for (const QByteArray& command : s.received)
        QCOMPARE(command, QByteArray("?STARTMSG"));
    const Steps steps = s.states();
    for (int i = 0; i < steps.size(); ++i)
        QCOMPARE(steps[i], i % 2 == 0 ? 3 : 4);
}

void TestReadSequence::errorSkipsTheAwaitedValue() {
    GuiFixture f;
    SimModuleConfig module = promptModule();
    module.faults.errorFor.insert("GERAET", 4);
    Session s(f, module, false);
    QVERIFY(s.ok);
    QVERIFY(s.waitForEnd());
    QCOMPARE(s.states(), (Steps{3, 8, 9, 10, 13, 0}));
    const QStringList log = f.logLines();
    const qsizetype skip = log.indexOf(QStringLiteral("Skip parameter (1)"));
    QVERIFY(skip > 0);
    QCOMPARE(log.at(skip + 1), QStringLiteral("State: 13"));
    QVERIFY(!s.received.contains("?REVISION"));
}

void TestReadSequence::loggerSetWithInactiveLogger() {
    GuiFixture f;
    Session s(f, promptModule(), false);
    QVERIFY(s.ok);
    QVERIFY(s.waitForEnd());
    f.dialog().control<QCheckBox>(5199)->setChecked(false);
    s.restart();
    f.click(5195);
    QVERIFY(s.waitForEnd());
    QCOMPARE(s.states(), (Steps{30, 31, 32, 0}));
    QCOMPARE(s.received, QList<QByteArray>{"!LOG_ON 0"});
}

void TestReadSequence::snmpSetWithoutTraps() {
    GuiFixture f;
    Session s(f, promptModule("LS"), false);
    QVERIFY(s.ok);
    QVERIFY(s.waitForEnd());
    s.restart();
    f.dialog().DispatchButton(5198);
    QVERIFY(s.waitForEnd());
    QCOMPARE(s.states(), (Steps{40, 0}));
    QVERIFY(s.received.isEmpty());
}

QTEST_MAIN(TestReadSequence)
#include "test_read_sequence.moc"
