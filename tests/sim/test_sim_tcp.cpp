#include "sim/fleet_config.h"
#include "sim/sim_fleet.h"
#include "sim_helpers.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kWaitMs = 10000;
constexpr quint32 kModuleIp = 0x7F000002; // 127.0.0.2
const QDateTime kHostNow(QDate(2026, 6, 10), QTime(11, 4, 0), Qt::UTC);

SimModuleConfig moduleConfig(quint32 ip = kModuleIp, quint16 port = 0) {
    SimModuleConfig config = generatedModule(0);
    config.network.ip = ip;
    config.network.port = port;
    return config;
}

// The tool's side of a session: lines cut at CR with LF dropped, and every read kept.
class Client {
public:
    bool connectTo(const SimFleet& fleet, int module = 0) {
        socket.connectToHost(QHostAddress(fleet.module(module).network().ip), fleet.tcpPort(module));
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
            const QByteArray chunk = socket.readAll();
            chunks += chunk;
            raw += chunk;
            for (const char c : chunk) {
                if (c == '\r') {
                    lines += m_line;
                    m_line.clear();
                } else if (c != '\n') {
                    m_line += c;
                }
            }
        });
        return socket.waitForConnected(kWaitMs);
    }
    void send(const QByteArray& text) { socket.write(text); }
    bool waitForLines(qsizetype count) {
        return QTest::qWaitFor([&] { return lines.size() >= count; }, kWaitMs);
    }

    QTcpSocket socket;
    QByteArray raw;
    QList<QByteArray> chunks;
    QList<QByteArray> lines;

private:
    QByteArray m_line;
};

struct Rig {
    explicit Rig(const SimModuleConfig& config = moduleConfig(), FleetOptions options = {})
        : fleet({config}) {
        options.hostClock = [] { return kHostNow; };
        fleet.setOptions(options);
        started = fleet.start(0);
    }
    SimFleet fleet;
    bool started = false;
};

// A plain blocking client socket, for telling an orderly close from a reset.
int rawConnect(const SimFleet& fleet) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(fleet.tcpPort(0));
    address.sin_addr.s_addr = htonl(fleet.module(0).network().ip);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return -1;
    return fd;
}

// Reads without blocking the event loop until the peer ends the connection: 0 for an
// orderly end, else the errno of the failed read; -1 when nothing ended in time.
int readToEnd(int fd, QByteArray& data) {
    int result = -1;
    const bool ended = QTest::qWaitFor(
        [&] {
            char buffer[4096];
            for (;;) {
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got > 0) {
                    data.append(buffer, got);
                    continue;
                }
                if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                    return false;
                result = got == 0 ? 0 : errno;
                return true;
            }
        },
        kWaitMs);
    return ended ? result : -1;
}

using Lines = QList<QByteArray>;

} // namespace

Q_DECLARE_METATYPE(zek::SimFaults)

class TestSimTcp : public QObject {
    Q_OBJECT
private slots:
    void startMessage_data();
    void startMessage();
    void queriesAndSets_data();
    void queriesAndSets();
    void clock_data();
    void clock();
    void keywordFaults_data();
    void keywordFaults();
    void writeShapes_data();
    void writeShapes();
    void floodAndLongLine();
    void connectionEnds_data();
    void connectionEnds();
    void refuseAndSilent();
    void badInput();
    void listeners();
    void rebootRebinds();
    void fleetKeys_data();
    void fleetKeys();
    void zeksimFlags();
};

void TestSimTcp::startMessage_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<Lines>("expected");
    const QByteArray type = "modul_typ ZEK-100 date 05.12.24 SW: 1.02";
    QTest::newRow("default") << QByteArray("letters") << QByteArray("TLSHXD")
                             << Lines{type, "modul_config TLSHXD", "modul_time_utc 11:04:00 (3) 10.06.26",
                                      "modul_time_local 13:04:00 (3) 10.06.26 (S)"};
    QTest::newRow("no RTC") << QByteArray("rtc") << QByteArray("no")
                            << Lines{type, "modul_config TLSHXD", "modul_time_utc No RTC",
                                     "modul_time_local No RTC"};
    QTest::newRow("no time lines") << QByteArray("time-lines") << QByteArray("no")
                                   << Lines{type, "modul_config TLSHXD"};
    QTest::newRow("letters") << QByteArray("letters") << QByteArray("SHD")
                             << Lines{type, "modul_config SHD", "modul_time_utc 11:04:00 (3) 10.06.26",
                                      "modul_time_local 13:04:00 (3) 10.06.26 (S)"};
}

void TestSimTcp::startMessage() {
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(Lines, expected);
    SimModuleConfig config = moduleConfig();
    QVERIFY(applyModuleKey(config, QString::fromLatin1(key), QString::fromLatin1(value)).isEmpty());
    Rig rig(config);
    QVERIFY(rig.started);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    client.send("?STARTMSG\r");
    QVERIFY(client.waitForLines(expected.size()));
    QCOMPARE(client.lines, expected);
    QCOMPARE(client.raw, expected.join('\r') + '\r');
    // The tool shows the text from four characters after "SW" and 13 from "date".
    const QByteArray& typeLine = client.lines[0];
    QCOMPARE(typeLine.mid(typeLine.indexOf("SW") + 4), QByteArray("1.02"));
    QCOMPARE(typeLine.mid(typeLine.indexOf("date"), 13), QByteArray("date 05.12.24"));
}

void TestSimTcp::queriesAndSets_data() {
    QTest::addColumn<Lines>("commands");
    QTest::addColumn<Lines>("expected");
    QTest::newRow("identity") << Lines{"?GERAET", "?REVISION", "?FIRMA"}
                              << Lines{"!GERAET ZEK 100 Ethernet", "!REVISION B2", "!FIRMA MERIDON"};
    QTest::newRow("logger") << Lines{"?LOG_ON", "!LOG_ON 5", "?LOG_ON", "!LOG_ON 0", "?LOG_ON", "!LOG_ON 60"}
                            << Lines{"!LOG_ON 0", "!LOG_ON 5", "!LOG_ON 5",
                                     "!LOG_ON 0", "!LOG_ON 0", "!LOG_ON 60"};
    QTest::newRow("dst use") << Lines{"?DST_USE", "!DST_USE 0", "?DST_USE", "!DST_USE 1"}
                             << Lines{"!DST_USE 1", "!DST_USE 0", "!DST_USE 0", "!DST_USE 1"};
    QTest::newRow("dst rules") << Lines{"?DST_START",         "?DST_STOP",  "!DST_START 1 2 4 5",
                                        "!DST_STOP 0 6 9 23", "?DST_START", "?DST_STOP"}
                               << Lines{"!DST_START 4 0 3 2", "!DST_STOP 4 0 10 3", "!DST_START 1 2 4 5",
                                        "!DST_STOP 0 6 9 23", "!DST_START 1 2 4 5", "!DST_STOP 0 6 9 23"};
    QTest::newRow("traps") << Lines{"?TRAP_IP1", "!TRAP_IP2 192.168.1.7", "!TRAP_IP3 10.0.0.255", "?TRAP_IP2"}
                           << Lines{"!TRAP_IP1 0.0.0.0", "!TRAP_IP2 192.168.1.7", "!TRAP_IP3 10.0.0.255",
                                    "!TRAP_IP2 192.168.1.7"};
    QTest::newRow("location keeps blanks")
        << Lines{"?SNMP_LOC", "!SNMP_LOC  Hall 2 ", "?SNMP_LOC", "!SNMP_LOC"}
        << Lines{"!SNMP_LOC Server room", "!SNMP_LOC  Hall 2 ", "!SNMP_LOC  Hall 2 ", "!SNMP_LOC "};
    QTest::newRow("bad arguments keep the value")
        << Lines{"!LOG_ON 61",       "!LOG_ON x",          "!DST_USE 2",         "!DST_START 5 0 3 2",
                 "!DST_STOP 4 0 10", "!TRAP_IP1 192..1.7", "!TRAP_IP1 256.1.1.1"}
        << Lines{"!LOG_ON 0",          "!LOG_ON 0",         "!DST_USE 1",       "!DST_START 4 0 3 2",
                 "!DST_STOP 4 0 10 3", "!TRAP_IP1 0.0.0.0", "!TRAP_IP1 0.0.0.0"};
    QTest::newRow("unknown and read-only")
        << Lines{"?FOO", "hello", "?log_on", "!GERAET X", "!STARTMSG", "?TIME_LOCAL"}
        << Lines{"!ERROR 1", "!ERROR 1", "!ERROR 1", "!ERROR 2", "!ERROR 1", "!ERROR 1"};
}

void TestSimTcp::queriesAndSets() {
    QFETCH(Lines, commands);
    QFETCH(Lines, expected);
    Rig rig;
    QVERIFY(rig.started);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    // One at a time, as the tool's sequence waits for each reply.
    for (qsizetype i = 0; i < commands.size(); ++i) {
        client.send(commands[i] + '\r');
        QVERIFY(client.waitForLines(i + 1));
        QCOMPARE(client.lines[i], expected[i]);
        QCOMPARE(received.size(), i + 1);
        QCOMPARE(received[i][1].toByteArray(), commands[i]);
    }
    QCOMPARE(client.lines.size(), expected.size());
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
    SimModuleConfig config = moduleConfig();
    config.state.hasRtc = QByteArray(QTest::currentDataTag()) != "no RTC";
    Rig rig(config);
    QVERIFY(rig.started);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    client.send(command + '\r');
    // The line the tool waits for comes last; the clock keeps what was set.
    client.send("?TIME_UTC\r");
    QVERIFY(client.waitForLines(4));
    QCOMPARE(client.lines, (Lines{utcLine, localLine, utcLine, localLine}));
}

void TestSimTcp::keywordFaults_data() {
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<Lines>("expected");
    SimFaults never;
    never.neverAnswer = {"GERAET", "STARTMSG"};
    QTest::newRow("never answered") << never << Lines{"!FIRMA MERIDON"};
    SimFaults error;
    error.errorFor = {{"GERAET", 4}, {"TIME_UTC", 24}};
    QTest::newRow("error") << error << Lines{"!ERROR 4", "!ERROR 4", "!FIRMA MERIDON"};
    SimFaults custom;
    custom.customReplies = {{"GERAET", {"!GERAET", QByteArray("x\0y\xE9", 4)}}};
    QTest::newRow("custom") << custom
                            << Lines{"!GERAET", QByteArray("x\0y\xE9", 4), "!GERAET",
                                     QByteArray("x\0y\xE9", 4), "!FIRMA MERIDON"};
}

void TestSimTcp::keywordFaults() {
    QFETCH(SimFaults, faults);
    QFETCH(Lines, expected);
    SimModuleConfig config = moduleConfig();
    config.faults = faults;
    Rig rig(config);
    QVERIFY(rig.started);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    client.send("?GERAET\r!GERAET New\r?FIRMA\r");
    QVERIFY(client.waitForLines(expected.size()));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 3, kWaitMs);
    // The set of a caught keyword is not acted on either: the sim has seen everything,
    // and the FIRMA reply, sent last, shows that nothing else came in between.
    QCOMPARE(client.lines, expected);
    QCOMPARE(rig.fleet.module(0).state().deviceType, QByteArray("ZEK 100 Ethernet"));
}

void TestSimTcp::writeShapes_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Lines>("writes");
    const QByteArray type = "modul_typ ZEK-100 date 05.12.24 SW: 1.02\r";
    const QByteArray config = "modul_config TLSHXD\r";
    QTest::newRow("line by line") << QByteArray() << Lines{type, config};
    QTest::newRow("crlf") << QByteArray("crlf") << Lines{type + '\n', config + '\n'};
    QTest::newRow("no line end") << QByteArray("no-line-end") << Lines{type.chopped(1), config.chopped(1)};
    QTest::newRow("merge") << QByteArray("merge") << Lines{type + config};
    QTest::newRow("split") << QByteArray("split")
                           << Lines{type.left(20), type.mid(20), config.left(10), config.mid(10)};
}

void TestSimTcp::writeShapes() {
    QFETCH(QByteArray, key);
    QFETCH(Lines, writes);
    SimModuleConfig config = moduleConfig();
    config.state.startTimeLines = false;
    if (!key.isEmpty())
        QVERIFY(applyModuleKey(config, QString::fromLatin1(key), u"yes").isEmpty());
    Rig rig(config);
    QVERIFY(rig.started);
    QSignalSpy sent(&rig.fleet, &SimFleet::tcpBytesSent);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    client.send("?STARTMSG\r");
    QVERIFY(QTest::qWaitFor([&] { return client.raw.size() >= writes.join().size(); }, kWaitMs));
    QCOMPARE(client.raw, writes.join());
    QCOMPARE(sent.size(), writes.size());
    for (qsizetype i = 0; i < writes.size(); ++i)
        QCOMPARE(sent[i][1].toByteArray(), writes[i]);
    // A split half arrives alone: the rest follows only after the pause.
    if (key == "split")
        QCOMPARE(client.chunks.first(), writes.first());
}

void TestSimTcp::floodAndLongLine() {
    SimModuleConfig config = moduleConfig();
    config.faults.flood = 500;
    config.faults.longLine = 400;
    config.faults.crlf = true;
    Rig rig(config);
    QVERIFY(rig.started);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    client.send("?FIRMA\r");
    QVERIFY(client.waitForLines(502));
    QCOMPARE(client.lines.size(), 502);
    QCOMPARE(client.lines[0], QByteArray("!FIRMA MERIDON"));
    QCOMPARE(client.lines[1].size(), 400);
    QVERIFY(client.lines[1].startsWith("long 5678901234"));
    QCOMPARE(client.lines[2], QByteArray("flood 1"));
    QCOMPARE(client.lines[501], QByteArray("flood 500"));
}

void TestSimTcp::connectionEnds_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("endError");
    QTest::newRow("close") << QByteArray("close-after") << 0;
    QTest::newRow("reset") << QByteArray("reset-after") << ECONNRESET;
    QTest::newRow("half-close") << QByteArray("half-close-after") << 0;
}

void TestSimTcp::connectionEnds() {
    QFETCH(QByteArray, key);
    QFETCH(int, endError);
    SimModuleConfig config = moduleConfig();
    QVERIFY(applyModuleKey(config, QString::fromLatin1(key), u"2").isEmpty());
    Rig rig(config);
    QVERIFY(rig.started);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    QSignalSpy ended(&rig.fleet, &SimFleet::tcpDisconnected);
    const int fd = rawConnect(rig.fleet);
    QVERIFY(fd >= 0);
    const QByteArray commands = "?GERAET\r?FIRMA\r";
    QCOMPARE(::send(fd, commands.constData(), size_t(commands.size()), MSG_NOSIGNAL),
             ssize_t(commands.size()));
    QByteArray data;
    QCOMPARE(readToEnd(fd, data), endError);
    // The second command is still answered before the connection ends.
    QCOMPARE(data, QByteArray("!GERAET ZEK 100 Ethernet\r!FIRMA MERIDON\r"));
    if (key == "half-close-after") {
        // Still reading, never answering.
        QCOMPARE(::send(fd, "?REVISION\r", 10, MSG_NOSIGNAL), ssize_t(10));
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), 3, kWaitMs);
        QCOMPARE(ended.size(), 0);
        QCOMPARE(rig.fleet.tcpSessionCount(0), 1);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, kWaitMs);
        QCOMPARE(rig.fleet.tcpSessionCount(0), 0);
    }
    ::close(fd);
    QTRY_COMPARE_WITH_TIMEOUT(rig.fleet.tcpSessionCount(0), 0, kWaitMs);
}

void TestSimTcp::refuseAndSilent() {
    SimModuleConfig config = moduleConfig();
    config.faults.refuse = true;
    Rig rig(config);
    QVERIFY(rig.started);
    QVERIFY(!rig.fleet.isTcpListening(0));

    // The module's port is given once a listener took it; refusing closes that listener.
    SimFaults faults;
    rig.fleet.setFaults(0, faults);
    QVERIFY(rig.fleet.isTcpListening(0));
    const quint16 port = rig.fleet.tcpPort(0);
    QCOMPARE(rig.fleet.module(0).network().port, port);
    faults.refuse = true;
    rig.fleet.setFaults(0, faults);
    QTcpSocket refused;
    refused.connectToHost(QHostAddress(kModuleIp), port);
    QVERIFY(!refused.waitForConnected(kWaitMs));
    QCOMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);

    faults = {};
    faults.silent = true;
    rig.fleet.setFaults(0, faults);
    QCOMPARE(rig.fleet.tcpPort(0), port);
    QSignalSpy connected(&rig.fleet, &SimFleet::tcpConnected);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    QSignalSpy sent(&rig.fleet, &SimFleet::tcpBytesSent);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    QTRY_COMPARE_WITH_TIMEOUT(connected.size(), 1, kWaitMs);
    client.send("?STARTMSG\r?GERAET\r");
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 2, kWaitMs);
    // Answers would have been written while the lines were handled.
    QCOMPARE(sent.size(), 0);
}

void TestSimTcp::badInput() {
    Rig rig;
    QVERIFY(rig.started);
    QSignalSpy received(&rig.fleet, &SimFleet::tcpLineReceived);
    QSignalSpy raw(&rig.fleet, &SimFleet::tcpBytesReceived);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));

    // Lenient line ends: CR LF and a lone LF end a line, the LF after a CR adds none.
    client.send("?GERAET\r\n?FIRMA\n");
    QVERIFY(client.waitForLines(2));
    QCOMPARE(client.lines, (Lines{"!GERAET ZEK 100 Ethernet", "!FIRMA MERIDON"}));
    QCOMPARE(received.size(), 2);

    // A peer that never ends its line: the sim keeps a bounded part and answers the
    // whole as unknown once the line ends.
    const QByteArray endless(200000, 'A');
    client.send(endless);
    const auto rawBytes = [&raw] {
        qsizetype sum = 0;
        for (const QList<QVariant>& arguments : std::as_const(raw))
            sum += arguments[1].toByteArray().size();
        return sum;
    };
    QTRY_COMPARE_WITH_TIMEOUT(rawBytes(), qsizetype(16 + endless.size()), kWaitMs);
    static const char kOdd[] = "\r?GER\0AET\r?\xE9\r?REVISION\r";
    client.send(QByteArray(kOdd, sizeof kOdd - 1));
    QVERIFY(client.waitForLines(6));
    QCOMPARE(client.lines.mid(2), (Lines{"!ERROR 1", "!ERROR 1", "!ERROR 1", "!REVISION B2"}));
    QCOMPARE(received[2][1].toByteArray().size(), 1024);
    QCOMPARE(received[3][1].toByteArray(), QByteArray("?GER\0AET", 8));
}

void TestSimTcp::listeners() {
    SimModuleConfig first = moduleConfig(kModuleIp, 0);
    SimModuleConfig absent = generatedModule(1);
    absent.network.ip = 0x0A090909; // 10.9.9.9: not an address of this host
    SimModuleConfig taken = generatedModule(2);
    SimFleet fleet({first, absent});
    fleet.setOptions({.replySpacingMs = 0});
    QSignalSpy log(&fleet, &SimFleet::logLine);
    QVERIFY(fleet.start(0));
    QVERIFY(fleet.isTcpListening(0));
    QVERIFY(!fleet.isTcpListening(1));
    QCOMPARE(fleet.tcpPort(1), quint16(0));
    QCOMPARE(log.size(), 1);
    QVERIFY(log[0][0].toString().contains(QLatin1String("10.9.9.9:10002")));

    // A module added to a running fleet listens at once, unless its port is taken.
    taken.network.ip = kModuleIp;
    taken.network.port = fleet.tcpPort(0);
    QVERIFY(!fleet.isTcpListening(fleet.addModule(taken)));
    QCOMPARE(log.size(), 2);
    fleet.stop();
    QVERIFY(!fleet.isTcpListening(0));
}

void TestSimTcp::rebootRebinds() {
    Rig rig;
    QVERIFY(rig.started);
    QSignalSpy connected(&rig.fleet, &SimFleet::tcpConnected);
    QSignalSpy ended(&rig.fleet, &SimFleet::tcpDisconnected);
    Client client;
    QVERIFY(client.connectTo(rig.fleet));
    QTRY_COMPARE_WITH_TIMEOUT(connected.size(), 1, kWaitMs);
    const quint16 oldPort = rig.fleet.tcpPort(0);

    DeviceRecord record;
    const SimModule& module = rig.fleet.module(0);
    std::copy(module.mac().begin(), module.mac().end(), record.Mac.begin());
    record.Ip = 0x7F000003;
    record.Port = 10123;
    record.Netmask = 0xFF000000;
    record.EthMode = *module.network().mode;
    ToolSocket tool;
    QVERIFY(tool.broadcast(toBytes(encodeSetValues(record)), rig.fleet.udpPort()));
    const auto reboot = encodeReboot(record.Mac);
    QVERIFY(
        tool.broadcast(QByteArray(reinterpret_cast<const char*>(reboot.data()), 10), rig.fleet.udpPort()));

    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(client.socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
    QCOMPARE(rig.fleet.tcpPort(0), quint16(10123));
    QTcpSocket old;
    old.connectToHost(QHostAddress(kModuleIp), oldPort);
    QVERIFY(!old.waitForConnected(kWaitMs));
    Client again;
    QVERIFY(again.connectTo(rig.fleet));
    QCOMPARE(again.socket.peerAddress(), QHostAddress(QStringLiteral("127.0.0.3")));
    again.send("?FIRMA\r");
    QVERIFY(again.waitForLines(1));
}

void TestSimTcp::fleetKeys_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("all keys") << QByteArray(
                                     "[module]\nletters = TL\nmodule-type = ZEK-2\nsw-version = 2.0\n"
                                     "sw-date = 01.02.25\ntime-lines = no\ndevice = Dev\nrevision = C\n"
                                     "company = \" Co \"\nlogger = on\nlog-interval = 7\nrtc = no\n"
                                     "clock-offset = -3600\nzone = -570\ndst-use = off\n"
                                     "dst-start = 0 1 2 3\ndst-stop = 4 6 12 23\ntrap-ip2 = 1.2.3.4\n"
                                     "snmp-location = Hall 2\nnever-answer = GERAET, FIRMA\n"
                                     "error = TIME_UTC=24 LOG_ON=3\ncrlf = yes\nno-line-end = yes\n"
                                     "split = yes\nmerge = yes\nflood = 5\nlong-line = 400\n"
                                     "close-after = 1\nreset-after = 2\nhalf-close-after = 3\n"
                                     "refuse = yes\nsilent = yes\n")
                              << QString();
    for (const char* bad :
         {"letters = T L", "log-interval = 0", "dst-start = 4 0 13 2", "dst-stop = 4 0 10",
          "never-answer = ?GERAET", "error = GERAET", "split = maybe", "flood = 100001", "zone = 1441"}) {
        const QByteArray line(bad);
        QTest::newRow(bad)
            << "[module]\n" + line + '\n'
            << QStringLiteral("line 2: '%1' needs").arg(QString::fromLatin1(line.split(' ')[0]));
    }
}

void TestSimTcp::fleetKeys() {
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const FleetParseResult result = parseFleetText(text);
    if (!error.isEmpty()) {
        QVERIFY2(result.message().startsWith(error), qPrintable(result.message()));
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.message()));
    const SimDeviceState& s = result.modules[0].state;
    QCOMPARE(s.letters, QByteArray("TL"));
    QCOMPARE(s.moduleType + s.swVersion + s.swDate, QByteArray("ZEK-22.001.02.25"));
    QCOMPARE(s.startTimeLines, false);
    QCOMPARE(s.deviceType + s.revision + s.company, QByteArray("DevC Co "));
    QCOMPARE(s.loggerOn, true);
    QCOMPARE(s.logInterval, 7);
    QCOMPARE(s.hasRtc, false);
    QCOMPARE(s.clockOffsetSecs, qint64(-3600));
    QCOMPARE(s.zoneMinutes, -570);
    QCOMPARE(s.dstUse, false);
    QCOMPARE(s.dstStart, (SimDstRule{0, 1, 2, 3}));
    QCOMPARE(s.dstStop, (SimDstRule{4, 6, 12, 23}));
    QCOMPARE(s.trapIps, (std::array<quint32, 3>{0, 0x01020304, 0}));
    QCOMPARE(s.snmpLocation, QByteArray("Hall 2"));
    const SimFaults& f = result.modules[0].faults;
    QCOMPARE(f.neverAnswer, (QSet<QByteArray>{"GERAET", "FIRMA"}));
    QCOMPARE(f.errorFor, (QMap<QByteArray, int>{{"TIME_UTC", 24}, {"LOG_ON", 3}}));
    QVERIFY(f.crlf && f.noLineEnd && f.split && f.merge && f.refuse && f.silent);
    QCOMPARE(f.flood, 5);
    QCOMPARE(f.longLine, 400);
    QCOMPARE(f.closeAfter + 10 * f.resetAfter + 100 * f.halfCloseAfter, 321);
}

void TestSimTcp::zeksimFlags() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("fleet.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[module]\nip = 127.0.0.2\nport = 10001\nletters = SHD\n[module]\nip = 10.9.9.9\n");
    file.close();

    QProcess zeksim;
    zeksim.start(qEnvironmentVariable("ZEKSIM"),
                 {QStringLiteral("--config"), file.fileName(), QStringLiteral("--udp-port"),
                  QStringLiteral("18002"), QStringLiteral("--error"), QStringLiteral("GERAET=4"),
                  QStringLiteral("--crlf"), QStringLiteral("--never-answer"), QStringLiteral("REVISION")});
    QByteArray output;
    connect(&zeksim, &QProcess::readyReadStandardOutput, this,
            [&] { output += zeksim.readAllStandardOutput(); });
    QTRY_VERIFY_WITH_TIMEOUT(output.contains("zeksim: 1 of 2 modules listen on TCP\n"), kWaitMs);
    QVERIFY(output.contains("10.9.9.9:10002"));

    QTcpSocket client;
    client.connectToHost(QHostAddress(kModuleIp), 10001);
    QVERIFY(client.waitForConnected(kWaitMs));
    client.write("?REVISION\r?GERAET\r?STARTMSG\r");
    QTRY_VERIFY_WITH_TIMEOUT(client.peek(200).contains("modul_config SHD\r\n"), kWaitMs);
    QVERIFY(client.readAll().startsWith("!ERROR 4\r\nmodul_typ "));
    QTRY_VERIFY_WITH_TIMEOUT(output.contains("\"?STARTMSG\": \"modul_typ"), kWaitMs);
    QVERIFY(output.contains(R"("?REVISION": never-answer; not answered)"));
    QVERIFY(output.contains(R"("?GERAET": error fault; "!ERROR 4")"));

    QCOMPARE(::kill(static_cast<pid_t>(zeksim.processId()), SIGTERM), 0);
    QVERIFY(zeksim.waitForFinished(kWaitMs));
    QCOMPARE(zeksim.exitCode(), 0);

    QProcess help;
    help.start(qEnvironmentVariable("ZEKSIM"), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(kWaitMs));
    const QByteArray text = help.readAllStandardOutput();
    for (const char* flag : {"--letters",
                             "--no-rtc",
                             "--never-answer",
                             "--error",
                             "--crlf",
                             "--no-line-end",
                             "--split",
                             "--merge",
                             "--flood",
                             "--long-line",
                             "--close-after",
                             "--reset-after",
                             "--half-close-after",
                             "--refuse",
                             "--silent",
                             "--no-tcp",
                             "--split-pause",
                             "dst-start",
                             "snmp-location",
                             "time-lines"})
        QVERIFY2(text.contains(flag), flag);
}

QTEST_GUILESS_MAIN(TestSimTcp)
#include "test_sim_tcp.moc"
