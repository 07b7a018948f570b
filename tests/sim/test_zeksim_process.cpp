// The zeksim program as scripts use it: started, searched over UDP port 8002, stopped.
#include "sim_helpers.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

using namespace zek::test;

class TestZeksimProcess : public QObject {
    Q_OBJECT
private slots:
    void answersAndStops();
};

void TestZeksimProcess::answersAndStops() {
    QProcess zeksim;
    QByteArray output;
    connect(&zeksim, &QProcess::readyReadStandardOutput, this,
            [&] { output += zeksim.readAllStandardOutput(); });
    zeksim.start(qEnvironmentVariable("ZEKSIM"), {QStringLiteral("--modules"), QStringLiteral("3")});
    QVERIFY2(QTest::qWaitFor([&] { return output.contains("zeksim: 3 modules, UDP port 8002\n"); }, 20000),
             output.constData());

    QUdpSocket tool;
    QVERIFY(tool.bind(QHostAddress(QHostAddress::LocalHost), 0));
    QCOMPARE(tool.writeDatagram(hex("00 01 00 00 00 00 00 00 00 0A"), QHostAddress::Broadcast, 8002), 10);
    QCOMPARE(receive(tool, 3).size(), 3);
    const QByteArray logged = QStringLiteral("127.0.0.1:%1 search MAC 00 00 00 00 00 00, 10 bytes: 3 replies")
                                  .arg(tool.localPort())
                                  .toLatin1();
    QVERIFY(QTest::qWaitFor([&] { return output.contains(logged); }, 20000));

    QCOMPARE(::kill(static_cast<pid_t>(zeksim.processId()), SIGTERM), 0);
    QVERIFY(zeksim.waitForFinished(20000));
    output += zeksim.readAllStandardOutput();
    QCOMPARE(zeksim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zeksim.exitCode(), 0);
    QVERIFY(output.endsWith("zeksim: stopped\n"));
}

QTEST_GUILESS_MAIN(TestZeksimProcess)
#include "test_zeksim_process.moc"
