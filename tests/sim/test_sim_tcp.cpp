#include "sim/fleet_config.h"
#include "sim/sim_fleet.h"
#include "sim_helpers.h"

#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kWaitMs = 10000;
constexpr quint32 kModuleIp = 0x7F000002; // 127.0.0.2
const QDateTime kHostNow(QDate(2026, 6, 10), QTime(11, 4, 0), Qt::UTC);
const QByteArray kTypeLine = "modul_typ ZEK-100 date 05.12.24 SW: 1.02";

// How a connection ended, as the fault table expects it.
constexpr int kOpen = -1;
constexpr int kTimedOut = -2;
constexpr int kRefused = -3;

using Lines = QList<QByteArray>;

// Applies "key=value;key=value" as a fleet file would, so that the keys are checked too.
bool applyKeys(SimModuleConfig& config, const QString& keys) {
    for (const QString& pair : keys.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString error = applyModuleKey(config, pair.left(equals), QStringView(pair).mid(equals + 1));
        if (!error.isEmpty()) {
            qWarning() << error;
            return false;
        }
    }
    return true;
}

struct Rig {
    explicit Rig(const SimModuleConfig& config) : fleet({config}) {
        fleet.setOptions({.hostClock = [] { return kHostNow; }});
        started = fleet.start(0);
    }
    SimFleet fleet;
    bool started = false;
};

SimModuleConfig moduleConfig(const QString& keys = {}) {
    SimModuleConfig config = generatedModule(0);
    config.network.ip = kModuleIp;
    config.network.port = 0;
    if (!applyKeys(config, keys))
        config.network.ip = 0;
    return config;
}

// A plain client socket: exact bytes as they came, and an orderly close told from a reset.
struct Peer {
    explicit Peer(quint16 port) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(kModuleIp);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            error = errno;
            ::close(std::exchange(fd, -1));
        }
    }
    ~Peer() {
        if (fd >= 0)
            ::close(fd);
    }
    bool send(const QByteArray& bytes) const {
        return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // Reads without blocking the event loop until `enough` holds (kOpen) or the peer ends
    // the connection: 0 for an orderly end, else the errno of the failed read.
    int readUntil(const std::function<bool()>& enough) {
        int result = kTimedOut;
        (void)QTest::qWaitFor(
            [&] {
                char buffer[4096];
                for (;;) {
                    const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                    if (got > 0) {
                        data.append(buffer, got);
                        continue;
                    }
                    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                        break;
                    result = got == 0 ? 0 : errno;
                    return true;
                }
                if (enough())
                    result = kOpen;
                return result == kOpen;
            },
            kWaitMs);
        return result;
    }
    int readBytes(qsizetype count) {
        return readUntil([&] { return data.size() >= count; });
    }

    int fd = -1;
    int error = 0;
    QByteArray data;
};

} // namespace

class TestSimTcp : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void clock_data();
    void clock();
    void faults_data();
    void faults();
    void badInput();
};

void TestSimTcp::answers_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<Lines>("commands");
    QTest::addColumn<Lines>("expected");
    // Commands and reply lines are given '|'-separated.
    const auto row = [](const char* tag, const char* keys, const char* commands, const char* replies) {
        QTest::newRow(tag) << QString::fromLatin1(keys) << QByteArray(commands).split('|')
                           << QByteArray(replies).split('|');
    };
    row("start message", "", "?STARTMSG",
        "modul_typ ZEK-100 date 05.12.24 SW: 1.02|modul_config TLSHXD|modul_time_utc 11:04:00 (3) 10.06.26|"
        "modul_time_local 13:04:00 (3) 10.06.26 (S)");
    row("start, no RTC", "rtc=no;letters=SHD", "?STARTMSG",
        "modul_typ ZEK-100 date 05.12.24 SW: 1.02|modul_config SHD|modul_time_utc No RTC|modul_time_local No "
        "RTC");
    row("start, no time lines", "time-lines=no", "?STARTMSG",
        "modul_typ ZEK-100 date 05.12.24 SW: 1.02|modul_config TLSHXD");
    row("identity", "", "?GERAET|?REVISION|?FIRMA", "!GERAET ZEK 100 Ethernet|!REVISION B2|!FIRMA MERIDON");
    row("logger and dst use", "", "?LOG_ON|!LOG_ON 5|?LOG_ON|!LOG_ON 60|?DST_USE|!DST_USE 0|?DST_USE",
        "!LOG_ON 0|!LOG_ON 5|!LOG_ON 5|!LOG_ON 60|!DST_USE 1|!DST_USE 0|!DST_USE 0");
    row("dst rules", "", "?DST_START|?DST_STOP|!DST_START 1 2 4 5|!DST_STOP 0 6 9 23|?DST_START|?DST_STOP",
        "!DST_START 4 0 3 2|!DST_STOP 4 0 10 3|!DST_START 1 2 4 5|!DST_STOP 0 6 9 23|!DST_START 1 2 4 5|"
        "!DST_STOP 0 6 9 23");
    row("traps", "", "?TRAP_IP1|!TRAP_IP2 192.168.1.7|!TRAP_IP3 10.0.0.255|?TRAP_IP2",
        "!TRAP_IP1 0.0.0.0|!TRAP_IP2 192.168.1.7|!TRAP_IP3 10.0.0.255|!TRAP_IP2 192.168.1.7");
    row("location keeps blanks", "", "?SNMP_LOC|!SNMP_LOC  Hall 2 |?SNMP_LOC|!SNMP_LOC",
        "!SNMP_LOC Server room|!SNMP_LOC  Hall 2 |!SNMP_LOC  Hall 2 |!SNMP_LOC ");
    row("bad arguments keep the value", "",
        "!LOG_ON 61|!LOG_ON x|!DST_USE 2|!DST_START 5 0 3 2|!DST_STOP 4 0 10|!TRAP_IP1 192..1.7|!TRAP_IP1 "
        "256.1.1.1",
        "!LOG_ON 0|!LOG_ON 0|!DST_USE 1|!DST_START 4 0 3 2|!DST_STOP 4 0 10 3|!TRAP_IP1 0.0.0.0|!TRAP_IP1 "
        "0.0.0.0");
    row("unknown and read-only", "", "?FOO|hello|?log_on|!GERAET X|!STARTMSG|?TIME_LOCAL",
        "!ERROR 1|!ERROR 1|!ERROR 1|!ERROR 2|!ERROR 1|!ERROR 1");
}

void TestSimTcp::answers() {
    QFETCH(QString, keys);
    QFETCH(Lines, commands);
    QFETCH(Lines, expected);
    Rig rig(moduleConfig(keys));
    QVERIFY(rig.started);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    Peer peer(rig.fleet.tcpPort(0));
    QVERIFY(peer.send(commands.join('\r') + '\r'));
    const QByteArray replies = expected.join('\r') + '\r';
    QCOMPARE(peer.readBytes(replies.size()), kOpen);
    QCOMPARE(peer.data, replies);
    QCOMPARE(received.size(), commands.size());
    for (qsizetype i = 0; i < commands.size(); ++i)
        QCOMPARE(received[i][1].toByteArray(), commands[i]);
}

void TestSimTcp::clock_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("utcLine");
    QTest::addColumn<QByteArray>("localLine");
    struct Row {
        const char* tag;
        const char* command;
        const char* utc;
        const char* local;
    };
    const Row rows[] = {
        {"read, summer", "?TIME_UTC", "11:04:00 (3) 10.06.26 (60)", "13:04:00 (3) 10.06.26 (S)"},
        {"set, winter, local date later", "!TIME_UTC 23:30:00 (0) 04.01.26 (60)", nullptr,
         "00:30:00 (1) 05.01.26 (W)"},
        {"before the start hour", "!TIME_UTC 00:59:59 (0) 29.03.26 (60)", nullptr,
         "01:59:59 (0) 29.03.26 (W)"},
        {"at the start hour", "!TIME_UTC 01:00:00 (0) 29.03.26 (60)", nullptr, "03:00:00 (0) 29.03.26 (S)"},
        {"last summer second", "!TIME_UTC 00:59:59 (0) 25.10.26 (60)", nullptr, "02:59:59 (0) 25.10.26 (S)"},
        {"back to winter", "!TIME_UTC 01:00:00 (0) 25.10.26 (60)", nullptr, "02:00:00 (0) 25.10.26 (W)"},
        {"negative zone", "!TIME_UTC 12:00:00 (3) 10.06.26 (-570)", nullptr, "03:30:00 (3) 10.06.26 (S)"},
        {"bad payload keeps the clock", "!TIME_UTC 25:00:00 (3) 10.06.26 (60)", "11:04:00 (3) 10.06.26 (60)",
         "13:04:00 (3) 10.06.26 (S)"},
        {"no RTC", "?TIME_UTC", "No RTC", "No RTC"},
    };
    // A set is answered with the time it set, so that the UTC line echoes the payload.
    for (const Row& row : rows)
        QTest::newRow(row.tag) << QByteArray(row.command)
                               << (row.utc ? "!TIME_UTC " + QByteArray(row.utc) : QByteArray(row.command))
                               << "!TIME_LOCAL " + QByteArray(row.local);
}

void TestSimTcp::clock() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, utcLine);
    QFETCH(QByteArray, localLine);
    Rig rig(
        moduleConfig(QByteArray(QTest::currentDataTag()) == "no RTC" ? QStringLiteral("rtc=no") : QString()));
    QVERIFY(rig.started);
    Peer peer(rig.fleet.tcpPort(0));
    // The line the tool waits for comes last; the clock keeps what was set.
    QVERIFY(peer.send(command + "\r?TIME_UTC\r"));
    const QByteArray replies = (utcLine + '\r' + localLine + '\r').repeated(2);
    QCOMPARE(peer.readBytes(replies.size()), kOpen);
    QCOMPARE(peer.data, replies);
}

void TestSimTcp::faults_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("writes"); // -1: not counted
    QTest::addColumn<int>("end");
    const QByteArray start = "?STARTMSG\r";
    const QByteArray type = kTypeLine + '\r';
    const QByteArray config = "modul_config TLSHXD\r";
    const QByteArray two = "?GERAET\r?FIRMA\r";
    const QByteArray twoReplies = "!GERAET ZEK 100 Ethernet\r!FIRMA MERIDON\r";
    const QByteArray caught = "?GERAET\r!GERAET New\r?FIRMA\r";
    QByteArray longLine = "long ";
    while (longLine.size() < 40)
        longLine += char('0' + longLine.size() % 10);

    QTest::newRow("line by line") << QString() << start << type + config << 2 << kOpen;
    QTest::newRow("crlf") << QStringLiteral("crlf=yes") << start
                          << type.chopped(1) + "\r\n" + config.chopped(1) + "\r\n"
                          << 2 << kOpen;
    QTest::newRow("no line end") << QStringLiteral("no-line-end=yes;crlf=yes") << start
                                 << type.chopped(1) + config.chopped(1) << 2 << kOpen;
    QTest::newRow("merge") << QStringLiteral("merge=yes") << start << type + config << 1 << kOpen;
    QTest::newRow("split") << QStringLiteral("split=yes") << start << type + config << 4 << kOpen;
    QTest::newRow("flood and long line")
        << QStringLiteral("flood=3;long-line=40") << QByteArray("?FIRMA\r")
        << "!FIRMA MERIDON\r" + longLine + "\rflood 1\rflood 2\rflood 3\r" << -1 << kOpen;
    // A caught keyword's set is not acted on either; FIRMA, sent last, shows that nothing
    // else came in between.
    QTest::newRow("never answered") << QStringLiteral("never-answer=GERAET") << caught
                                    << QByteArray("!FIRMA MERIDON\r") << 1 << kOpen;
    QTest::newRow("error") << QStringLiteral("error=GERAET=4") << caught
                           << QByteArray("!ERROR 4\r!ERROR 4\r!FIRMA MERIDON\r") << 3 << kOpen;
    // The second command is still answered before the connection ends.
    QTest::newRow("close") << QStringLiteral("close-after=2") << two << twoReplies << 2 << 0;
    QTest::newRow("reset") << QStringLiteral("reset-after=2") << two << twoReplies << 2 << ECONNRESET;
    QTest::newRow("half-close") << QStringLiteral("half-close-after=2") << two << twoReplies << 2 << 0;
    QTest::newRow("silent") << QStringLiteral("silent=yes") << start + "?GERAET\r" << QByteArray() << 0
                            << kOpen;
    QTest::newRow("refuse") << QStringLiteral("refuse=yes") << QByteArray() << QByteArray() << 0 << kRefused;
}

void TestSimTcp::faults() {
    QFETCH(QString, keys);
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, expected);
    QFETCH(int, writes);
    QFETCH(int, end);
    SimModuleConfig config = moduleConfig(QStringLiteral("time-lines=no"));
    Rig rig(config);
    QVERIFY(rig.started);
    // Switched on a running module: the listener's port stays the module's.
    const quint16 port = rig.fleet.tcpPort(0);
    QCOMPARE(rig.fleet.module(0).network().port, port);
    QVERIFY(applyKeys(config, keys));
    rig.fleet.setFaults(0, config.faults);
    if (end == kRefused) {
        QVERIFY(!rig.fleet.isTcpListening(0));
        QCOMPARE(Peer(port).error, ECONNREFUSED);
        return;
    }
    QCOMPARE(rig.fleet.tcpPort(0), port);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    QSignalSpy sent(&rig.fleet, &SimFleet::tcpBytesSent);
    QSignalSpy ended(&rig.fleet, &SimFleet::tcpDisconnected);
    Peer peer(port);
    QVERIFY(peer.fd >= 0);
    QVERIFY(peer.send(commands));
    const qsizetype lines = commands.count('\r');
    QCOMPARE(peer.readUntil([&] {
        return end == kOpen && peer.data.size() >= expected.size() && received.size() >= lines;
    }),
             end);
    QCOMPARE(peer.data, expected);
    QCOMPARE(received.size(), lines);
    if (writes >= 0)
        QCOMPARE(sent.size(), writes);
    // A split half goes out alone; the rest follows after the pause.
    if (QByteArray(QTest::currentDataTag()) == "split")
        QCOMPARE(sent[0][1].toByteArray(), kTypeLine.left(20));
    if (QByteArray(QTest::currentDataTag()) == "half-close") {
        // Still reading, never answering.
        QVERIFY(peer.send("?REVISION\r"));
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), 3, kWaitMs);
        QCOMPARE(ended.size(), 0);
        QCOMPARE(rig.fleet.tcpSessionCount(0), 1);
    } else if (end != kOpen) {
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, kWaitMs);
        QCOMPARE(rig.fleet.tcpSessionCount(0), 0);
    }
}

void TestSimTcp::badInput() {
    Rig rig(moduleConfig());
    QVERIFY(rig.started);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    QSignalSpy raw(&rig.fleet, &SimFleet::tcpBytesReceived);
    Peer peer(rig.fleet.tcpPort(0));

    // Lenient line ends: CR LF and a lone LF end a line, the LF after a CR adds none.
    QVERIFY(peer.send("?GERAET\r\n?FIRMA\n"));
    QByteArray replies = "!GERAET ZEK 100 Ethernet\r!FIRMA MERIDON\r";
    QCOMPARE(peer.readBytes(replies.size()), kOpen);
    QCOMPARE(peer.data, replies);
    QCOMPARE(received.size(), 2);

    // A peer that never ends its line: the sim keeps a bounded part and answers the
    // whole as unknown once the line ends.
    const QByteArray endless(200000, 'A');
    QVERIFY(peer.send(endless));
    const auto rawBytes = [&raw] {
        qsizetype sum = 0;
        for (const QList<QVariant>& arguments : std::as_const(raw))
            sum += arguments[1].toByteArray().size();
        return sum;
    };
    QTRY_COMPARE_WITH_TIMEOUT(rawBytes(), qsizetype(16 + endless.size()), kWaitMs);
    static const char kOdd[] = "\r?GER\0AET\r?\xE9\r?REVISION\r";
    QVERIFY(peer.send(QByteArray(kOdd, sizeof kOdd - 1)));
    replies += "!ERROR 1\r!ERROR 1\r!ERROR 1\r!REVISION B2\r";
    QCOMPARE(peer.readBytes(replies.size()), kOpen);
    QCOMPARE(peer.data, replies);
    QCOMPARE(received[2][1].toByteArray().size(), 1024);
    QCOMPARE(received[3][1].toByteArray(), QByteArray("?GER\0AET", 8));
}

QTEST_GUILESS_MAIN(TestSimTcp)
#include "test_sim_tcp.moc"
