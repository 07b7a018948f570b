// The session against a simulated module over real sockets: one path from connect to
// disconnect with the bytes the module sees, and the failures only a real peer shows.
#include "gui_helpers.h"

#include "core/app/control_ids.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace zek;
using namespace zek::test;

namespace {

const QString kDisconnected = QStringLiteral("ZEKConfig: Socket disconnected");

void verifyIdle(GuiFixture& f) {
    QCOMPARE(f.text(ctl::StateText), QStringLiteral("State: Idle"));
    // The caption names the first address of the test namespace.
    QCOMPARE(f.dialog().windowTitle(), QStringLiteral("Netz 1: 192.0.2.1  nicht verbunden"));
    QVERIFY(f.dialog().widget(ctl::Search)->isEnabled());
    QVERIFY(!f.dialog().widget(ctl::LoggerRead)->isEnabled());
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void connectReadSetDisconnect();
    void peerFailures_data();
    void peerFailures();
};

void TestSession::connectReadSetDisconnect() {
    ConnectedFixture f;
    QVERIFY(f.ready);
    const SimDeviceState& module = f.fleet().module(0).state();
    QCOMPARE(f.text(ctl::StateText), QStringLiteral("State: Connected"));
    QCOMPARE(f.text(ctl::ModuleTyp), QString::fromLatin1(module.deviceType));
    QCOMPARE(f.text(ctl::ModuleRevision), QString::fromLatin1(module.revision));
    QCOMPARE(f.text(ctl::ModuleFirma), QString::fromLatin1(module.company));
    QVERIFY(!f.dialog().widget(ctl::Search)->isEnabled());
    QSignalSpy raw(&f.fleet(), &SimFleet::tcpBytesReceived);
    QSignalSpy ended(&f.fleet(), &SimFleet::tcpDisconnected);
    const auto received = [&] {
        QByteArray all;
        for (const QList<QVariant>& call : raw)
            all += call[1].toByteArray();
        return all;
    };

    f.click(ctl::LoggerRead);
    f.dialog().control<QLineEdit>(ctl::SnmpLocation)->setText(QStringLiteral("Boiler room 2"));
    f.click(ctl::SnmpLocationSet);
    QTRY_COMPARE_WITH_TIMEOUT(received(), QByteArray("?LOG_ON\r!SNMP_LOC Boiler room 2\r"), 5000);
    QCOMPARE(f.logLines().filter(QStringLiteral("SND: ")).mid(4),
             (QStringList{"SND: ?LOG_ON\r", "SND: !SNMP_LOC Boiler room 2\r"}));

    f.click(ctl::Connect);
    QCOMPARE(f.logLines().last(), kDisconnected);
    verifyIdle(f);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
}

void TestSession::peerFailures_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("logEnd");
    QTest::newRow("refused") << "refuse"
                             << QStringList{"ZEKConfig: Socket connecting ...",
                                            "ZEKConfig: TCP/IP Error while connecting (Winsock:  111)",
                                            kDisconnected};
    QTest::newRow("peer closes") << "close" << QStringList{kDisconnected};
    QTest::newRow("reset") << "reset"
                           << QStringList{"ZEKConfig: TCP/IP Error closing socket (Winsock:  104)",
                                          kDisconnected};
}

void TestSession::peerFailures() {
    QFETCH(QString, how);
    QFETCH(QStringList, logEnd);
    SimModuleConfig module = GuiFixture::quietModule();
    module.faults.refuse = how == "refuse";
    // After the identity's four queries the next command ends the connection.
    (how == "reset" ? module.faults.resetAfter : module.faults.closeAfter) = how == "refuse" ? 0 : 5;
    GuiFixture f(50);
    QVERIFY(f.openWindow(module));
    if (how == "refuse") {
        f.click(ctl::Connect);
    } else {
        QVERIFY(f.connectSession());
        f.click(ctl::LoggerRead);
    }
    QVERIFY(f.waitForState(SessionState::Idle));
    const QStringList log = f.logLines();
    QCOMPARE(log.mid(log.size() - logEnd.size()), logEnd);
    verifyIdle(f);
}

QTEST_MAIN(TestSession)
#include "test_session.moc"
