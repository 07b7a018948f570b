// The module's side of the TCP text protocol: command bytes against the writes and
// closes a module object answers with, faults included; then the wiring over loopback.
#include "core/session/line_splitter.h"
#include "core/session/reply_parser.h"
#include "sim/sim_command_stream.h"
#include "sim/sim_fleet.h"
#include "sim_helpers.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kWaitMs = 10000;
const QDateTime kHostNow(QDate(2026, 6, 10), QTime(11, 4, 0), Qt::UTC); // a Wednesday, summer time

// The steps for `input` fed in pieces of `piece` bytes, joined with '|': a write as its
// bytes, "~" before a write that waits for the split pause, "~N:" before one that waits N
// ms, <close>, <reset>, <half-close>.
QByteArray steps(const QString& keys, const QByteArray& input, qsizetype piece) {
    static const char* const kEnds[] = {"", "<close>", "<reset>", "<half-close>"};
    SimModule module(moduleWith(keys));
    SimCommandStream stream(module, [] { return kHostNow; });
    QByteArrayList out;
    for (qsizetype at = 0; at < input.size(); at += piece)
        for (const SimCommandLine& line : stream.take(input.mid(at, piece)))
            for (const SimTcpStep& step : stream.answer(line).steps)
                out += step.action != SimTcpStep::Action::Write ? QByteArray(kEnds[int(step.action)])
                       : step.pauseMs > 0 ? "~" + QByteArray::number(step.pauseMs) + ':' + step.bytes
                                          : (step.pauseBefore ? "~" : "") + step.bytes;
    return out.join('|');
}

// Connects to a module's port and sends `commands`; returns what came back once `size`
// bytes are in, nothing when the connection is refused.
QByteArray ask(const char* address, quint16 port, const QByteArray& commands, qsizetype size) {
    QTcpSocket socket;
    QByteArray data;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] { socket.write(commands); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { data += socket.readAll(); });
    socket.connectToHost(QHostAddress(QString::fromLatin1(address)), port);
    (void)QTest::qWaitFor(
        [&] { return data.size() >= size || socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs);
    return data;
}

} // namespace

class TestSimTcp : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void garbage();
    void descriptorLimit();
    void withheldFromAPeerThatDoesNotRead();
    void listenerFollowsReboot();
    void manyPeersBesideAGreedyOne();
};

void TestSimTcp::answers_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char* tag, const char* keys, const QByteArray& input,
                        const QByteArray& expected) {
        QTest::newRow(tag) << QString::fromLatin1(keys) << input << expected;
    };
    const QByteArray summer =
        "!TIME_UTC 11:04:00 (3) 10.06.26 (60)\r|!TIME_LOCAL 13:04:00 (3) 10.06.26 (S)\r";
    row("start message", "", "?STARTMSG\r",
        "modul_typ ZEK-100 date 05.12.24 SW: 1.02\r|modul_config TLSHXD\r|"
        "modul_time_utc 11:04:00 (3) 10.06.26\r|modul_time_local 13:04:00 (3) 10.06.26 (S)\r");
    row("start, no RTC", "rtc=no;letters=SHD", "?STARTMSG\r",
        "modul_typ ZEK-100 date 05.12.24 SW: 1.02\r|modul_config SHD\r|modul_time_utc No RTC\r|"
        "modul_time_local No RTC\r");
    row("start, no time lines", "time-lines=no;module-type=ZEK-200;sw-version=2.0;sw-date=01.01.25",
        "?STARTMSG\r", "modul_typ ZEK-200 date 01.01.25 SW: 2.0\r|modul_config TLSHXD\r");
    row("identity, any line end, empty lines", "", "\r\r\n\n?GERAET\r\n?REVISION\n?FIRMA\r",
        "!GERAET ZEK 100 Ethernet\r|!REVISION B2\r|!FIRMA MERIDON\r");
    row("logger", "logger=yes;log-interval=7", "?LOG_ON\r!LOG_ON 0\r?LOG_ON\r!LOG_ON 60\r!LOG_ON 61\r",
        "!LOG_ON 7\r|!LOG_ON 0\r|!LOG_ON 0\r|!LOG_ON 60\r|!LOG_ON 60\r");
    row("dst", "",
        "?DST_USE\r!DST_USE 0\r!DST_USE 2\r?DST_START\r?DST_STOP\r!DST_START 1 2 4 5\r!DST_STOP 0 6 9 23\r"
        "!DST_START 5 0 3 2\r!DST_STOP 4 0 10\r!DST_STOP 4 7 10 3\r",
        "!DST_USE 1\r|!DST_USE 0\r|!DST_USE 0\r|!DST_START 4 0 3 2\r|!DST_STOP 4 0 10 3\r|"
        "!DST_START 1 2 4 5\r|!DST_STOP 0 6 9 23\r|!DST_START 1 2 4 5\r|!DST_STOP 0 6 9 23\r|"
        "!DST_STOP 0 6 9 23\r");
    row("traps", "trap-ip3=10.0.0.9",
        "?TRAP_IP1\r!TRAP_IP2 192.168.1.7\r!TRAP_IP1 192..1.7\r!TRAP_IP1 256.1.1.1\r?TRAP_IP3\r",
        "!TRAP_IP1 0.0.0.0\r|!TRAP_IP2 192.168.1.7\r|!TRAP_IP1 0.0.0.0\r|!TRAP_IP1 0.0.0.0\r|"
        "!TRAP_IP3 10.0.0.9\r");
    row("location", "", "?SNMP_LOC\r!SNMP_LOC  Hall 2 \r!SNMP_LOC\r!SNMP_LOC " + QByteArray(70, 'x') + '\r',
        "!SNMP_LOC Server room\r|!SNMP_LOC  Hall 2 \r|!SNMP_LOC \r|!SNMP_LOC " + QByteArray(63, 'x') + '\r');
    row("unknown and read-only", "", "?FOO\rhello\r?log_on\r!GERAET X\r!STARTMSG\r?TIME_LOCAL\r?\r",
        "!ERROR 1\r|!ERROR 1\r|!ERROR 1\r|!ERROR 2\r|!ERROR 1\r|!ERROR 1\r|!ERROR 1\r");
    row("odd bytes, over-long line", "",
        QByteArray("?GER\0AET\r?\xE9\r", 12) + QByteArray(5000, 'A') + "\r?FIRMA\r",
        "!ERROR 1\r|!ERROR 1\r|!ERROR 1\r|!FIRMA MERIDON\r");
    // Clock: a set is answered with the time it set, the line the tool waits for last.
    const auto clock = [&row](const char* tag, const char* payload, const char* local) {
        const QByteArray set = "!TIME_UTC " + QByteArray(payload) + '\r';
        row(tag, "", set, set + "|!TIME_LOCAL " + local + '\r');
    };
    clock("set, winter, local date later", "23:30:00 (0) 04.01.26 (60)", "00:30:00 (1) 05.01.26 (W)");
    clock("before the start hour", "00:59:59 (0) 29.03.26 (60)", "01:59:59 (0) 29.03.26 (W)");
    clock("at the start hour", "01:00:00 (0) 29.03.26 (60)", "03:00:00 (0) 29.03.26 (S)");
    clock("last summer second", "00:59:59 (0) 25.10.26 (60)", "02:59:59 (0) 25.10.26 (S)");
    clock("back to winter", "01:00:00 (0) 25.10.26 (60)", "02:00:00 (0) 25.10.26 (W)");
    clock("negative zone", "12:00:00 (3) 10.06.26 (-570)", "03:30:00 (3) 10.06.26 (S)");
    row("the clock keeps what was set", "dst-use=no", "!TIME_UTC 12:00:00 (3) 10.06.26 (0)\r?TIME_UTC\r",
        "!TIME_UTC 12:00:00 (3) 10.06.26 (0)\r|!TIME_LOCAL 12:00:00 (3) 10.06.26 (W)\r|"
        "!TIME_UTC 12:00:00 (3) 10.06.26 (0)\r|!TIME_LOCAL 12:00:00 (3) 10.06.26 (W)\r");
    row("bad payload keeps the clock", "", "!TIME_UTC 25:00:00 (3) 10.06.26 (60)\r", summer);
    row("no RTC", "rtc=no", "?TIME_UTC\r!TIME_UTC 12:00:00 (3) 10.06.26 (60)\r",
        "!TIME_UTC No RTC\r|!TIME_LOCAL No RTC\r|!TIME_UTC No RTC\r|!TIME_LOCAL No RTC\r");
    // Faults.
    row("crlf", "crlf=yes", "?GERAET\r?FIRMA\r", "!GERAET ZEK 100 Ethernet\r\n|!FIRMA MERIDON\r\n");
    row("no line end", "no-line-end=yes;crlf=yes", "?GERAET\r?FIRMA\r",
        "!GERAET ZEK 100 Ethernet|!FIRMA MERIDON");
    row("merge", "merge=yes;time-lines=no", "?STARTMSG\r",
        "modul_typ ZEK-100 date 05.12.24 SW: 1.02\rmodul_config TLSHXD\r");
    row("split", "split=yes", "?FIRMA\r", "!FIRMA |~MERIDON\r");
    row("flood and long line", "flood=3;long-line=12", "?FIRMA\r",
        "!FIRMA MERIDON\r|long 5678901\r|flood 1\r|flood 2\r|flood 3\r");
    row("never answered, not acted on", "never-answer=GERAET", "?GERAET\r!GERAET New\r?FIRMA\r",
        "!FIRMA MERIDON\r");
    row("error", "error=GERAET=4,FIRMA=20", "?GERAET\r!GERAET X\r?FIRMA\r?REVISION\r",
        "!ERROR 4\r|!ERROR 4\r|!ERROR 20\r|!REVISION B2\r");
    row("close after the second", "close-after=2", "?GERAET\r?FIRMA\r",
        "!GERAET ZEK 100 Ethernet\r|!FIRMA MERIDON\r|<close>");
    row("reset", "reset-after=1", "?FIRMA\r", "!FIRMA MERIDON\r|<reset>");
    row("half-close, then read only", "half-close-after=1", "?FIRMA\r?GERAET\r",
        "!FIRMA MERIDON\r|<half-close>");
    row("silent", "silent=yes", "?STARTMSG\r?GERAET\r", "");
    row("reset half-way through a reply of two writes", "reset-mid-reply=2;time-lines=no",
        "?FIRMA\r?STARTMSG\r", "!FIRMA MERIDON\r|modul_typ ZEK-100 date 05.12.2|<reset>");
    row("reset half-way, merged", "reset-mid-reply=1;merge=yes", "?FIRMA\r", "!FIRMA |<reset>");
    row("drip", "drip=30;no-line-end=yes", "?REVISION\r",
        "!|~30:R|~30:E|~30:V|~30:I|~30:S|~30:I|~30:O|~30:N|~30: |~30:B|~30:2");
}

void TestSimTcp::answers() {
    QFETCH(QString, keys);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    // Where a read ends must not matter.
    QCOMPARE(steps(keys, input, input.size()), expected);
    QCOMPARE(steps(keys, input, 1), expected);
}

void TestSimTcp::garbage() {
    const auto answers = [](int index) {
        SimModule module(moduleWith(QStringLiteral("garbage=yes"), generatedModule(index)));
        SimCommandStream stream(module);
        QByteArrayList writes;
        for (const char* command : {"?STARTMSG", "?GERAET", "!SNMP_LOC x"})
            writes += stream.answer({command}).steps.at(0).bytes;
        return writes;
    };
    const QByteArrayList first = answers(0);
    for (const QByteArray& bytes : first) {
        QVERIFY(bytes.contains('\0') && bytes.contains('\n') && bytes.endsWith('\r'));
        QVERIFY(std::any_of(bytes.begin(), bytes.end(), [](char c) { return quint8(c) > 0x7F; }));
        // Whatever lines the tool's own splitter cuts from it, its parser takes none as a reply.
        std::vector<ReplyKind> kinds;
        LineSplitter().feed(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())},
            [&](std::string_view line) { return kinds.push_back(ParseReply(line).kind), true; });
        QCOMPARE(kinds, std::vector<ReplyKind>(2, ReplyKind::None));
    }
    QVERIFY(first[0] != first[1] && answers(0) == first && answers(1) != first);
}

void TestSimTcp::descriptorLimit() {
    if (QSysInfo::kernelType() != QLatin1String("linux"))
        QSKIP("the descriptor limit zeksim raises is Linux's");
    // A low soft limit is raised and every module listens; a low hard limit is said, and the
    // modules beyond it get no listener.
    for (const bool hard : {false, true}) {
        QProcess sim;
        const QString limit = hard ? QStringLiteral("-n 80") : QStringLiteral("-S -n 80");
        sim.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit %1 && exec \"$0\" --modules 100").arg(limit),
                   qEnvironmentVariable("ZEKSIM")});
        QByteArray out;
        QVERIFY(QTest::qWaitFor(
            [&] { return (out += sim.readAllStandardOutput()).contains("listen on TCP"); }, kWaitMs));
        QCOMPARE(out.contains("100 of 100 modules listen on TCP"), !hard);
        QCOMPARE(sim.readAllStandardError().contains(
                     "the open-descriptor limit is 80 (hard limit 80), too low for 100 TCP listeners"),
                 hard);
        sim.terminate();
        QVERIFY(sim.waitForFinished(kWaitMs));
    }
}

void TestSimTcp::withheldFromAPeerThatDoesNotRead() {
    SimModule module(generatedModule(0));
    SimCommandStream stream(module);
    QVERIFY(stream.answer({"?FIRMA"}, SimCommandStream::kMaxSendBacklog + 1).steps.empty());
    QCOMPARE(stream.answer({"?FIRMA"}, SimCommandStream::kMaxSendBacklog).steps.size(), std::size_t(1));
}

void TestSimTcp::listenerFollowsReboot() {
    SimFleet fleet({moduleWith("ip=127.0.0.2;port=0")});
    QVERIFY(fleet.start(0));
    const quint16 oldPort = fleet.tcpPort(0);
    QSignalSpy rebooted(&fleet, &SimFleet::moduleRebooted);
    QUdpSocket tool;
    const QByteArray mac = hex("02 5A 45 00 00 01");
    // To 127.0.0.3 with port 0: the module comes up on a free port of its new address.
    const QByteArray values = hex("00 7F 00 00 03 00 00 FF 00 00 00 7F 00 00 01") + QByteArray(33, 0);
    for (const QByteArray& request :
         {hex("00 04") + mac + hex("00 3A") + values, hex("00 05") + mac + hex("00 0A")})
        QCOMPARE(tool.writeDatagram(request, QHostAddress(QHostAddress::LocalHost), fleet.udpPort()),
                 request.size());
    QTRY_COMPARE_WITH_TIMEOUT(rebooted.size(), 1, kWaitMs);
    QCOMPARE(fleet.module(0).network().ip, 0x7F000003u);
    QVERIFY(fleet.isTcpListening(0));
    QCOMPARE(fleet.module(0).network().port, fleet.tcpPort(0));
    QCOMPARE(ask("127.0.0.3", fleet.tcpPort(0), "?FIRMA\r", 15), QByteArray("!FIRMA MERIDON\r"));
    QCOMPARE(ask("127.0.0.2", oldPort, "?FIRMA\r", 15), QByteArray());
}

void TestSimTcp::manyPeersBesideAGreedyOne() {
    // The zeksim program, as the tool meets it: one peer sends 5 MB of queries and reads
    // nothing, while 60 others hold a connection each and are answered all the same.
    QProcess sim;
    sim.start(qEnvironmentVariable("ZEKSIM"), {QStringLiteral("--modules"), QStringLiteral("1")});
    QVERIFY(QTest::qWaitFor([&] { return sim.canReadLine(); }, kWaitMs));
    const auto connectTo = [](QTcpSocket& socket) {
        socket.connectToHost(QHostAddress(QStringLiteral("127.0.0.2")), 10001);
        // Waiting in the event loop lets QProcess drain the simulator's console lines.
        return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, kWaitMs);
    };
    QTcpSocket greedy;
    QVERIFY(connectTo(greedy));
    greedy.write(QByteArray("?GERAET\r").repeated(5 << 17));
    QVERIFY(QTest::qWaitFor([&] { return greedy.bytesToWrite() == 0; }, kWaitMs));
    std::vector<std::unique_ptr<QTcpSocket>> peers;
    for (int i = 0; i < 60; ++i) {
        peers.push_back(std::make_unique<QTcpSocket>());
        QVERIFY(connectTo(*peers.back()));
    }
    for (auto& peer : peers)
        peer->write("?FIRMA\r");
    for (auto& peer : peers) {
        QVERIFY(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 15; }, kWaitMs));
        QCOMPARE(peer->readAll(), QByteArray("!FIRMA MERIDON\r"));
    }
    // A Windows console program gets no signal from outside: it is ended outright there.
    QSysInfo::productType() == QLatin1String("windows") ? sim.kill() : sim.terminate();
    QVERIFY(QTest::qWaitFor([&] { return sim.state() == QProcess::NotRunning; }, kWaitMs));
}

QTEST_GUILESS_MAIN(TestSimTcp)
#include "test_sim_tcp.moc"
