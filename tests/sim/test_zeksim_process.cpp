#include "sim_helpers.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace zek::test;

namespace {

constexpr int kWaitMs = 20000;

QString zeksimPath() {
    return qEnvironmentVariable("ZEKSIM");
}

} // namespace

// The zeksim program as scripts use it: started, waited for, searched, stopped.
class TestZeksimProcess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void help();
    void answersAndStops_data();
    void answersAndStops();
    void badConfigFile();
    void portTaken();
};

void TestZeksimProcess::initTestCase() {
    QVERIFY2(QFileInfo(zeksimPath()).isExecutable(), "ZEKSIM names no executable");
}

void TestZeksimProcess::help() {
    QProcess zeksim;
    zeksim.start(zeksimPath(), {QStringLiteral("--help")});
    QVERIFY(zeksim.waitForFinished(kWaitMs));
    QCOMPARE(zeksim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zeksim.exitCode(), 0);
    const QString help = QString::fromUtf8(zeksim.readAllStandardOutput());
    for (const char* flag : {"--modules", "--config", "--burst", "--reply-spacing", "--software-info",
                             "--reboot-ms", "--udp-port", "--help", "mode", "software"})
        QVERIFY2(help.contains(QLatin1String(flag)), flag);
}

void TestZeksimProcess::answersAndStops_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestZeksimProcess::answersAndStops() {
    QFETCH(int, signal);
    QProcess zeksim;
    zeksim.start(zeksimPath(), {QStringLiteral("--modules"), QStringLiteral("3")});
    QByteArray output;
    connect(&zeksim, &QProcess::readyReadStandardOutput, this,
            [&] { output += zeksim.readAllStandardOutput(); });
    QTRY_VERIFY_WITH_TIMEOUT(output.contains("zeksim: 3 modules, UDP port 8002\n"), kWaitMs);

    ToolSocket tool;
    QVERIFY(tool.sendSearch());
    QVERIFY(tool.waitForDatagrams(3, kWaitMs));
    QCOMPARE(tool.received.size(), 3);
    QSet<QString> macs;
    for (const QNetworkDatagram& datagram : std::as_const(tool.received)) {
        const auto device = decodeDevice(datagram);
        QVERIFY(device);
        macs.insert(QString::fromStdString(device->texts.mac));
    }
    QCOMPARE(macs.size(), 3);
    const QByteArray request =
        QStringLiteral("127.0.0.1:%1 search MAC 00 00 00 00 00 00, 10 bytes").arg(tool.port()).toLatin1();
    QTRY_VERIFY_WITH_TIMEOUT(output.contains(request), kWaitMs);

    QCOMPARE(::kill(static_cast<pid_t>(zeksim.processId()), signal), 0);
    QVERIFY(zeksim.waitForFinished(kWaitMs));
    output += zeksim.readAllStandardOutput();
    QCOMPARE(zeksim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zeksim.exitCode(), 0);
    QVERIFY(output.endsWith("zeksim: stopped\n"));
}

void TestZeksimProcess::badConfigFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("fleet.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[module]\nport = 80\nmode = fast\n");
    file.close();

    QProcess zeksim;
    zeksim.start(zeksimPath(), {QStringLiteral("--config"), file.fileName()});
    QVERIFY(zeksim.waitForFinished(kWaitMs));
    QCOMPARE(zeksim.exitCode(), 2);
    QVERIFY(zeksim.readAllStandardError().contains("line 3: 'mode' needs"));
}

void TestZeksimProcess::portTaken() {
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 8002, QUdpSocket::DontShareAddress));
    QProcess zeksim;
    zeksim.start(zeksimPath(), {QStringLiteral("--modules"), QStringLiteral("1")});
    QVERIFY(zeksim.waitForFinished(kWaitMs));
    QCOMPARE(zeksim.exitCode(), 1);
    QVERIFY(zeksim.readAllStandardError().contains("cannot bind UDP"));
}

QTEST_GUILESS_MAIN(TestZeksimProcess)
#include "test_zeksim_process.moc"
