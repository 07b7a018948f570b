#include "sim/fleet_config.h"

#include <QSet>
#include <QtTest>

using namespace zek;

class TestFleetConfig : public QObject {
    Q_OBJECT
private slots:
    void goodFile();
    void goodValues_data();
    void goodValues();
    void badFile_data();
    void badFile();
    void generatedFleet();
};

void TestFleetConfig::goodFile() {
    const FleetParseResult result = parseFleetText("\xEF\xBB\xBF# two modules\r\n"
                                                   "[module]\r\n"
                                                   "mac = 00 0A 1B 2C 3D 4E\r\n"
                                                   "serial = 256\r\n"
                                                   "ip = 192.168.1.20\r\n"
                                                   "netmask = 255.255.255.0\r\n"
                                                   "gateway = 192.168.1.1\r\n"
                                                   "dhcp = yes\r\n"
                                                   "name = \" Boiler room \"\r\n"
                                                   "port = 80\r\n"
                                                   "mode = none\r\n"
                                                   "software = SW 2.00 LT\r\n"
                                                   "\n"
                                                   "  [ Module ]  \n"
                                                   "; only the port differs from the generated module\n"
                                                   "Port=9000\n");
    QVERIFY2(result.ok(), qPrintable(result.message()));
    QCOMPARE(result.modules.size(), std::size_t(2));
    const SimModuleConfig& first = result.modules[0];
    QCOMPARE(simMacText(first.mac), QStringLiteral("00 0A 1B 2C 3D 4E"));
    QCOMPARE(first.serial, 256u);
    QCOMPARE(first.network.ip, 0xC0A80114u);
    QCOMPARE(first.network.netmask, 0xFFFFFF00u);
    QCOMPARE(first.network.gateway, 0xC0A80101u);
    QCOMPARE(first.network.dhcp, quint8(1));
    QCOMPARE(first.network.nameField, QByteArray(" Boiler room ") + QByteArray(20, '\0'));
    QCOMPARE(first.network.port, quint16(80));
    QVERIFY(!first.network.mode);
    QCOMPARE(first.software, QByteArray("SW 2.00 LT"));

    SimModuleConfig second = generatedModule(1);
    second.network.port = 9000;
    QCOMPARE(result.modules[1].mac, second.mac);
    QCOMPARE(result.modules[1].network, second.network);
}

void TestFleetConfig::goodValues_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("nameField");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("dhcp");
    const QByteArray generatedName = generatedModule(0).network.nameField;
    const QString generatedMac = simMacText(generatedModule(0).mac);
    QTest::newRow("colon MAC") << QByteArray("mac = 00:0a:1b:2c:3d:4e") << generatedName
                               << "00 0A 1B 2C 3D 4E" << 0 << 0;
    QTest::newRow("hyphen MAC") << QByteArray("mac=00-0A-1B-2C-3D-4F") << generatedName << "00 0A 1B 2C 3D 4F"
                                << 0 << 0;
    QTest::newRow("bare MAC") << QByteArray("mac = 000A1B2C3D50") << generatedName << "00 0A 1B 2C 3D 50" << 0
                              << 0;
    QTest::newRow("mode 255") << QByteArray("mode = 255") << generatedName << generatedMac << 255 << 0;
    QTest::newRow("dhcp byte") << QByteArray("dhcp = 7") << generatedName << generatedMac << 0 << 7;
    QTest::newRow("dhcp off") << QByteArray("dhcp = OFF") << generatedName << generatedMac << 0 << 0;
    QTest::newRow("32 characters") << QByteArray("name = ") + QByteArray(32, 'a')
                                   << QByteArray(32, 'a') + '\0' << generatedMac << 0 << 0;
    QTest::newRow("33 characters, unterminated")
        << QByteArray("name = ") + QByteArray(33, 'b') << QByteArray(33, 'b') << generatedMac << 0 << 0;
    QTest::newRow("UTF-8 Latin-1 name") << QByteArray("name = K\xC3\xBC"
                                                      "che")
                                        << QByteArray("K\xFC"
                                                      "che") +
                                               QByteArray(28, '\0')
                                        << generatedMac << 0 << 0;
    QTest::newRow("Latin-1 file") << QByteArray("name = K\xFC"
                                                "che")
                                  << QByteArray("K\xFC"
                                                "che") +
                                         QByteArray(28, '\0')
                                  << generatedMac << 0 << 0;
    QTest::newRow("empty name") << QByteArray("name =") << QByteArray(33, '\0') << generatedMac << 0 << 0;
}

void TestFleetConfig::goodValues() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, nameField);
    QFETCH(QString, mac);
    QFETCH(int, mode);
    QFETCH(int, dhcp);
    const FleetParseResult result = parseFleetText("[module]\n" + line + "\n");
    QVERIFY2(result.ok(), qPrintable(result.message()));
    QCOMPARE(result.modules.size(), std::size_t(1));
    const SimModuleConfig& module = result.modules[0];
    QCOMPARE(module.network.nameField, nameField);
    QCOMPARE(simMacText(module.mac), mac);
    QCOMPARE(module.network.mode.value_or(0), mode);
    QCOMPARE(int(module.network.dhcp), dhcp);
}

void TestFleetConfig::badFile_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray("# nothing\n") << 0 << "no [module]";
    QTest::newRow("key first") << QByteArray("ip = 127.0.0.2\n[module]\n") << 1
                               << "before the first [module]";
    QTest::newRow("other section") << QByteArray("[module]\n[fleet]\n") << 2 << "unknown section '[fleet]'";
    QTest::newRow("open header") << QByteArray("[module\n") << 1 << "ends with ']'";
    QTest::newRow("no equals") << QByteArray("[module]\nname Boiler\n") << 2 << "expected 'key = value'";
    QTest::newRow("unknown key") << QByteArray("[module]\ncolour = red\n") << 2 << "unknown key 'colour'";
    QTest::newRow("key twice") << QByteArray("[module]\nport = 1\nport = 2\n") << 3 << "given twice";
    QTest::newRow("short IP") << QByteArray("[module]\n\nip = 1.2.3\n") << 3 << "'ip' needs";
    QTest::newRow("IP octet") << QByteArray("[module]\nnetmask = 256.0.0.0\n") << 2 << "'netmask' needs";
    QTest::newRow("gateway word") << QByteArray("[module]\ngateway = router\n") << 2 << "'gateway' needs";
    QTest::newRow("five MAC pairs") << QByteArray("[module]\nmac = 00 11 22 33 44\n") << 2 << "'mac' needs";
    QTest::newRow("mixed MAC") << QByteArray("[module]\nmac = 00:11-22:33:44:55\n") << 2 << "'mac' needs";
    QTest::newRow("MAC digit") << QByteArray("[module]\nmac = 00 11 22 33 44 5G\n") << 2 << "'mac' needs";
    QTest::newRow("port range") << QByteArray("[module]\nport = 65536\n") << 2 << "'port' needs";
    QTest::newRow("negative port") << QByteArray("[module]\nport = -1\n") << 2 << "'port' needs";
    QTest::newRow("serial range") << QByteArray("[module]\nserial = 4294967296\n") << 2 << "'serial' needs";
    QTest::newRow("mode word") << QByteArray("[module]\nmode = auto\n") << 2 << "'mode' needs";
    QTest::newRow("mode range") << QByteArray("[module]\nmode = 256\n") << 2 << "'mode' needs";
    QTest::newRow("dhcp word") << QByteArray("[module]\ndhcp = maybe\n") << 2 << "'dhcp' needs";
    QTest::newRow("34 characters") << QByteArray("[module]\nname = ") + QByteArray(34, 'a') << 2
                                   << "'name' needs";
    QTest::newRow("not Latin-1") << QByteArray("[module]\nname = \xE2\x82\xAC\n") << 2 << "'name' needs";
    QTest::newRow("long software") << QByteArray("[module]\nsoftware = ") + QByteArray(256, 'S') << 2
                                   << "'software' needs";
    QTest::newRow("same MAC") << QByteArray(
                                     "[module]\nmac = 00 0A 1B 2C 3D 4E\n[module]\nmac = 000A1B2C3D4E\n")
                              << 4 << "already used by the module at line 2";
    QTest::newRow("generated MAC taken") << QByteArray("[module]\n[module]\nmac = 02:5A:45:00:00:01\n") << 3
                                         << "already used by the module at line 1";
}

void TestFleetConfig::badFile() {
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, message);
    const FleetParseResult result = parseFleetText(text);
    QVERIFY(!result.ok());
    QVERIFY(result.modules.empty());
    QCOMPARE(result.errorLine, line);
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    QVERIFY(line == 0 || result.message().startsWith(QStringLiteral("line %1: ").arg(line)));
}

void TestFleetConfig::generatedFleet() {
    const auto modules = generateModules(260);
    QSet<QString> macs, ips, names;
    QSet<quint32> serials;
    QSet<quint16> ports;
    int unreported = 0;
    for (const SimModuleConfig& module : modules) {
        macs.insert(simMacText(module.mac));
        ips.insert(ipv4Text(module.network.ip));
        names.insert(QString::fromLatin1(module.network.name()));
        serials.insert(module.serial);
        ports.insert(module.network.port);
        unreported += module.network.mode ? 0 : 1;
        QCOMPARE(module.network.netmask, 0xFF000000u);
        QCOMPARE(module.network.gateway, 0x7F000001u);
    }
    QCOMPARE(macs.size(), 260);
    QCOMPARE(ips.size(), 260);
    QCOMPARE(names.size(), 260);
    QCOMPARE(serials.size(), 260);
    QCOMPARE(ports.size(), 260);
    QVERIFY(unreported > 0 && unreported < 260);
    QCOMPARE(ipv4Text(modules.front().network.ip), QStringLiteral("127.0.0.2"));
    QCOMPARE(ipv4Text(modules.back().network.ip), QStringLiteral("127.0.1.5"));
}

QTEST_GUILESS_MAIN(TestFleetConfig)
#include "test_fleet_config.moc"
