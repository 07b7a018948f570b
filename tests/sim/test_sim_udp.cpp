#include "sim/fleet_config.h"
#include "sim/sim_fleet.h"
#include "sim_helpers.h"

#include <QSet>
#include <QSignalSpy>
#include <QtTest>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kWaitMs = 10000;

SimModuleConfig moduleConfig(const char* mac, quint32 serial, const char* ip, quint16 port,
                             std::optional<quint8> mode, QByteArray name, quint8 dhcp = 0) {
    SimModuleConfig config;
    config.mac = *parseSimMac(QString::fromLatin1(mac));
    config.serial = serial;
    config.network.ip = *parseIpv4(QString::fromLatin1(ip));
    config.network.port = port;
    config.network.netmask = 0xFFFFFF00;
    config.network.gateway = (config.network.ip & 0xFFFFFF00) | 1;
    config.network.dhcp = dhcp;
    config.network.mode = mode;
    config.network.setName(name);
    return config;
}

// What the tool must make of a module's reply, derived from the module's settings.
void verifyRecord(const DeviceRecord& record, const SimModule& module) {
    const NetworkValues& net = module.network();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(record.Mac.data()), 6),
             QByteArray(reinterpret_cast<const char*>(module.mac().data()), 6));
    QCOMPARE(record.SerialNumber, module.serial());
    QCOMPARE(record.CurrentIp, net.ip);
    QCOMPARE(record.Ip, net.ip);
    QCOMPARE(record.Dhcp, net.dhcp);
    QCOMPARE(record.Port, int(net.port));
    QCOMPARE(record.Netmask, net.netmask);
    QCOMPARE(record.Gateway, net.gateway);
    QCOMPARE(QByteArray::fromStdString(record.nameText()), net.nameField.left(32).split('\0').first());
    const int mode = !net.mode ? ETH_MODE_NOT_REPORTED : *net.mode < 5 ? *net.mode : 0x100 + *net.mode;
    QCOMPARE(record.EthMode, mode);
}

// The fleet's replies to one search, decoded by the tool, keyed by MAC text.
QHash<QString, DeviceRecord> searchAndDecode(ToolSocket& tool, int expected) {
    tool.received.clear();
    QHash<QString, DeviceRecord> records;
    if (!tool.sendSearch() || !tool.waitForDatagrams(expected, kWaitMs))
        return records;
    for (const QNetworkDatagram& datagram : std::as_const(tool.received))
        if (const auto device = decodeDevice(datagram))
            records.insert(QString::fromStdString(device->texts.mac), device->record);
    return records;
}

} // namespace

class TestSimUdp : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void everyReplyArrives_data();
    void everyReplyArrives();
    void softwareInfo();
    void survivesBadDatagrams();
    void setValuesApplyOnReboot_data();
    void setValuesApplyOnReboot();
    void rebootingModuleIsSilent();
    void bindFailureIsReported();
};

void TestSimUdp::roundTrip_data() {
    QTest::addColumn<QString>("toolAddress");
    QTest::newRow("loopback") << QStringLiteral("127.0.0.1");
    QTest::newRow("test address") << QStringLiteral("192.0.2.1");
}

void TestSimUdp::roundTrip() {
    QFETCH(QString, toolAddress);
    SimFleet fleet;
    fleet.setOptions({.replySpacingMs = 1});
    fleet.addModule(moduleConfig("00 0A 1B 2C 3D 4E", 256, "192.168.1.20", 80, std::nullopt, "Boiler room"));
    fleet.addModule(moduleConfig("00 0A 1B 2C 3D 4F", 4294967295u, "10.0.0.7", 65535, 4, "Pump", 1));
    fleet.addModule(moduleConfig("02 00 00 00 00 07", 7, "127.0.0.9", 1, 7, QByteArray(33, 'N')));
    fleet.addModule(moduleConfig("FF FF FF FF FF FE", 0, "127.0.0.10", 10001, 0, QByteArray(32, 'x'), 255));
    QVERIFY(fleet.start());

    ToolSocket tool{QHostAddress(toolAddress)};
    QVERIFY(tool.isBound());
    const auto records = searchAndDecode(tool, fleet.moduleCount());
    QCOMPARE(tool.received.size(), fleet.moduleCount());
    QCOMPARE(records.size(), fleet.moduleCount());
    for (int i = 0; i < fleet.moduleCount(); ++i) {
        QCOMPARE(tool.received[i].senderPort(), 8002);
        const SimModule& module = fleet.module(i);
        const auto record = records.constFind(simMacText(module.mac()));
        QVERIFY(record != records.constEnd());
        verifyRecord(*record, module);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(tool.received[i].data().size(), module.network().mode ? 63 : 62);
    }
    QCOMPARE(QByteArray::fromStdString(records.value(QStringLiteral("02 00 00 00 00 07")).nameText()),
             QByteArray(32, 'N'));
}

void TestSimUdp::everyReplyArrives_data() {
    QTest::addColumn<int>("spacingMs");
    QTest::newRow("burst") << 0;
    QTest::newRow("paced") << 1;
}

void TestSimUdp::everyReplyArrives() {
    QFETCH(int, spacingMs);
    SimFleet fleet(generateModules(260));
    fleet.setOptions({.replySpacingMs = spacingMs});
    QVERIFY(fleet.start());
    ToolSocket tool(QHostAddress(QStringLiteral("127.0.0.1")), 4 << 20);
    QVERIFY(tool.receiveBufferBytes() >= 4 << 20);

    QVERIFY(tool.sendSearch());
    QVERIFY(tool.waitForDatagrams(260, kWaitMs));
    QCOMPARE(tool.received.size(), 260);
    QCOMPARE(tool.received[0].senderAddress(), QHostAddress(QStringLiteral("127.0.0.2")));
    QSet<QString> macs;
    for (const QNetworkDatagram& datagram : std::as_const(tool.received)) {
        const auto device = decodeDevice(datagram);
        QVERIFY(device);
        QCOMPARE(datagram.senderAddress(),
                 QHostAddress(device->record.CurrentIp)); // from the module's address
        macs.insert(QString::fromStdString(device->texts.mac));
    }
    QCOMPARE(macs.size(), 260);
    QCOMPARE(fleet.queuedReplies(), 0);
}

void TestSimUdp::softwareInfo() {
    std::vector<SimModuleConfig> modules = generateModules(2);
    modules[0].software = "SW 1.02 TLSHXD";
    modules[1].software = QByteArray(120, 'L');
    SimFleet fleet(modules);
    fleet.setOptions({.replySpacingMs = 0, .softwareInfoAfterReply = true});
    QVERIFY(fleet.start());
    ToolSocket tool;
    // On request: one datagram, the text without a terminator, its length in the header.
    QVERIFY(fleet.sendSoftwareInfo(0, QHostAddress(QStringLiteral("127.0.0.1")), tool.port()));
    QVERIFY(tool.waitForDatagrams(1, kWaitMs));
    QCOMPARE(tool.received.at(0).data(), fromHex("00 08 02 5A 45 00 00 01 00 0E") + "SW 1.02 TLSHXD");
    QVERIFY(!fleet.sendSoftwareInfo(2, QHostAddress(QStringLiteral("127.0.0.1")), tool.port()));

    // After each search reply, which the tool reads as a text cut to 99 characters.
    tool.received.clear();
    QVERIFY(tool.sendSearch());
    QVERIFY(tool.waitForDatagrams(4, kWaitMs));
    QCOMPARE(tool.received.size(), 4);
    for (const auto& [index, text] :
         {std::pair{1, std::string("SW 1.02 TLSHXD")}, {3, std::string(99, 'L')}}) {
        QVERIFY(decodeDevice(tool.received[index - 1]));
        const DecodedDatagram info = decodeWithTool(tool.received[index]);
        QVERIFY(std::holds_alternative<SoftwareText>(info));
        QCOMPARE(std::get<SoftwareText>(info).text, text);
    }
}

void TestSimUdp::survivesBadDatagrams() {
    SimFleet fleet(generateModules(3));
    QVERIFY(fleet.start());
    QSignalSpy received(&fleet, &SimFleet::requestReceived);
    QSignalSpy ignored(&fleet, &SimFleet::datagramIgnored);
    ToolSocket tool;

    const QList<QByteArray> bad = {
        QByteArray(),
        QByteArray(1, '\x01'),
        QByteArray(65507, '\0'),
        QByteArray("\x17\x99 garbage, not a request at all"),
        fromHex("00 01 00 00 00 00 00 00 00"),             // a search one byte short
        fromHex("00 04 02 5A 45 00 00 01 00 3A 01 02 03"), // a set-values cut short
        fromHex("00 03 02 5A 45 00 00 01 00 3E"),          // another module's reply
    };
    for (const QByteArray& datagram : bad)
        QVERIFY(tool.broadcast(datagram));
    QVERIFY(tool.sendSearch());

    QVERIFY(tool.waitForDatagrams(3, kWaitMs));
    QCOMPARE(tool.received.size(), 3);
    QCOMPARE(received.size(), bad.size() + 1);
    QCOMPARE(ignored.size(), bad.size());
    for (int i = 0; i < bad.size(); ++i)
        QCOMPARE(received[i][0].toByteArray(), bad[i]);
    QCOMPARE(received.last()[0].toByteArray(), searchRequest());
    QCOMPARE(received.last()[2].value<quint16>(), tool.port());
    QCOMPARE(fleet.module(0).pending().has_value(), false);
}

void TestSimUdp::setValuesApplyOnReboot_data() {
    QTest::addColumn<std::optional<quint8>>("initialMode");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<std::optional<quint8>>("expectedMode");

    // The tool's own encoder, for a module that reports a mode (59 bytes) and one that
    // does not (58 bytes).
    DeviceRecord record;
    record.Mac = {0x02, 0x5A, 0x45, 0x00, 0x00, 0x01};
    record.Ip = 0xC0A80114;
    record.Port = 80;
    record.Netmask = 0xFFFFFF00;
    record.Gateway = 0xC0A80101;
    record.Dhcp = 1;
    record.setName("Lab");
    record.EthMode = 0x107;
    QTest::newRow("59 bytes, tool encoder")
        << std::optional<quint8>(2) << toBytes(encodeSetValues(record)) << std::optional<quint8>(7);
    record.EthMode = ETH_MODE_NOT_REPORTED;
    QTest::newRow("58 bytes, tool encoder")
        << std::optional<quint8>() << toBytes(encodeSetValues(record)) << std::optional<quint8>();

    const QByteArray body =
        fromHex("01 C0 A8 01 14 00 50 FF FF FF 00 C0 A8 01 01") + "Lab" + QByteArray(30, '\0');
    QTest::newRow("58 bytes keep the mode")
        << std::optional<quint8>(2) << fromHex("00 04 02 5A 45 00 00 01 00 3A") + body
        << std::optional<quint8>(2);
    QTest::newRow("59 bytes to a module without mode")
        << std::optional<quint8>() << fromHex("00 04 02 5A 45 00 00 01 00 3B") + body + '\x03'
        << std::optional<quint8>();
}

void TestSimUdp::setValuesApplyOnReboot() {
    QFETCH(std::optional<quint8>, initialMode);
    QFETCH(QByteArray, request);
    QFETCH(std::optional<quint8>, expectedMode);

    std::vector<SimModuleConfig> modules = generateModules(2);
    modules[0].network.mode = initialMode;
    SimFleet fleet(modules);
    fleet.setOptions({.replySpacingMs = 0});
    QVERIFY(fleet.start());
    const NetworkValues before = fleet.module(0).network();
    const NetworkValues other = fleet.module(1).network();
    QSignalSpy stored(&fleet, &SimFleet::valuesStored);
    QSignalSpy rebooted(&fleet, &SimFleet::moduleRebooted);
    ToolSocket tool;

    // A set-values request for a MAC no module has changes nothing.
    QVERIFY(tool.broadcast(QByteArray(request).replace(2, 6, fromHex("02 5A 45 00 00 09"))));
    QVERIFY(
        tool.broadcast(searchRequest().replace(1, 1, "\x05").replace(2, 6, fromHex("02 5A 45 00 00 09"))));
    auto records = searchAndDecode(tool, 2);
    QCOMPARE(records.size(), 2);
    QCOMPARE(stored.size(), 0);
    QCOMPARE(rebooted.size(), 0);
    QCOMPARE(fleet.module(0).network(), before);

    QVERIFY(tool.broadcast(request));
    QTRY_COMPARE_WITH_TIMEOUT(stored.size(), 1, kWaitMs);
    QCOMPARE(stored[0][0].toInt(), 0);
    records = searchAndDecode(tool, 2);
    verifyRecord(records.value(QStringLiteral("02 5A 45 00 00 01")), fleet.module(0));
    QCOMPARE(fleet.module(0).network(), before);

    const auto reboot = encodeReboot({0x02, 0x5A, 0x45, 0x00, 0x00, 0x01});
    QVERIFY(tool.broadcast(QByteArray(reinterpret_cast<const char*>(reboot.data()), 10)));
    QTRY_COMPARE_WITH_TIMEOUT(rebooted.size(), 1, kWaitMs);
    QCOMPARE(rebooted[0][1].toBool(), true);

    NetworkValues expected = before;
    std::tie(expected.dhcp, expected.ip, expected.port, expected.netmask, expected.gateway, expected.mode) =
        std::tuple(1, 0xC0A80114, 80, 0xFFFFFF00, 0xC0A80101, expectedMode);
    expected.setName("Lab");
    QCOMPARE(fleet.module(0).network(), expected);
    QCOMPARE(fleet.module(1).network(), other);
    records = searchAndDecode(tool, 2);
    QCOMPARE(tool.received[0].data().size(), expectedMode ? 63 : 62);
    verifyRecord(records.value(QStringLiteral("02 5A 45 00 00 01")), fleet.module(0));
    verifyRecord(records.value(QStringLiteral("02 5A 45 00 00 02")), fleet.module(1));
}

void TestSimUdp::rebootingModuleIsSilent() {
    SimFleet fleet(generateModules(2));
    // Long enough that the reboot cannot end during the test.
    fleet.setOptions({.replySpacingMs = 0, .rebootMs = 600000});
    QVERIFY(fleet.start());
    ToolSocket tool;
    QVERIFY(tool.broadcast(fromHex("00 05 02 5A 45 00 00 01 00 0A")));
    QTRY_VERIFY_WITH_TIMEOUT(fleet.module(0).isRebooting(), kWaitMs);
    // Replies to one search go out together, so the other module's reply is the last.
    const auto records = searchAndDecode(tool, 1);
    QCOMPARE(records.keys(), QList<QString>{QStringLiteral("02 5A 45 00 00 02")});
}

void TestSimUdp::bindFailureIsReported() {
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 8002, QUdpSocket::DontShareAddress));
    SimFleet fleet(generateModules(1));
    QVERIFY(!fleet.start());
    QVERIFY(fleet.errorString().contains(QLatin1String("8002")));
    QVERIFY(!fleet.isListening());
}

QTEST_GUILESS_MAIN(TestSimUdp)
#include "test_sim_udp.moc"
