// Fleet-file text against the modules it describes or the message that refuses it.
#include "sim/fleet_config.h"

#include <QSet>
#include <QtTest>

using namespace zek;

namespace {

QString describe(const SimModuleConfig& m) {
    const NetworkValues& n = m.network;
    return QStringLiteral(
               "mac %1|serial %2|ip %3|netmask %4|gateway %5|dhcp %6|port %7|mode %8|name '%9'|sw '%10'|")
        .arg(simMacText(m.mac))
        .arg(m.serial)
        .arg(ipv4Text(n.ip), ipv4Text(n.netmask), ipv4Text(n.gateway))
        .arg(int(n.dhcp))
        .arg(n.port)
        .arg(n.mode ? QString::number(*n.mode) : QStringLiteral("none"))
        .arg(QString::fromLatin1(n.nameField.split('\0').front()), QString::fromLatin1(m.software));
}

} // namespace

class TestFleetConfig : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void generatedFleet();
};

void TestFleetConfig::parse_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected"); // a part of the modules' descriptions, or of the refusal
    const auto row = [](const char* tag, const QByteArray& text, const QString& expected) {
        QTest::newRow(tag) << text << expected;
    };
    row("a file",
        "\xEF\xBB\xBF# two modules\r\n[module]\r\nmac = 00 0A 1B 2C 3D 4E\r\nserial = 256\r\n"
        "ip = 192.168.1.20\r\nnetmask = 255.255.255.0\r\ngateway = 192.168.1.1\r\ndhcp = yes\r\n"
        "name = \" Boiler room \"\r\nport = 80\r\nmode = none\r\nsoftware = SW 2.00 LT\r\n\n"
        "  [ Module ]  \n; generated but for the port\nPort=9000\n",
        "mac 00 0A 1B 2C 3D 4E|serial 256|ip 192.168.1.20|netmask 255.255.255.0|gateway 192.168.1.1|dhcp 1|"
        "port 80|mode none|name ' Boiler room '|sw 'SW 2.00 LT'|\nmac 02 5A 45 00 00 02|serial 100002|"
        "ip 127.0.0.3|netmask 255.0.0.0|gateway 127.0.0.1|dhcp 0|port 9000|mode 1|name 'ZEK module 002'|"
        "sw 'SW 1.02 TLSHXD'|");
    row("colon MAC", "[module]\nmac = 00:0a:1b:2c:3d:4e", "mac 00 0A 1B 2C 3D 4E|");
    row("bare MAC", "[module]\nmac = 000A1B2C3D50", "mac 00 0A 1B 2C 3D 50|");
    row("UTF-8 file", "[module]\nname = K\xC3\xBC", QStringLiteral("name 'K\u00FC'|"));
    row("Latin-1 file", "[module]\nname = K\xFC", QStringLiteral("name 'K\u00FC'|"));
    row("empty", "# nothing\n", "the fleet file holds no [module] section");
    row("key first", "ip = 127.0.0.2\n[module]\n", "line 1: 'ip' comes before the first [module]");
    row("other section", "[module]\n[fleet]\n", "line 2: unknown section '[fleet]'");
    row("no equals", "[module]\nname Boiler\n", "line 2: expected 'key = value'");
    row("unknown key", "[module]\ncolour = red\n", "line 2: unknown key 'colour'");
    row("quote not closed", "[module]\nname = \"Boiler \n", "line 2: the quote of 'name' is not closed");
    row("binary key", "[module]\n\x1b]0;\x07\x9b = 1\n", "line 2: unknown key '\\x1b]0;\\x07\\x9b'");
    row("key twice", "[module]\nport = 1\nport = 2\n", "line 3: 'port' is given twice");
    row("mixed MAC", "[module]\nmac = 00:11-22:33:44:55\n", "line 2: 'mac' needs");
    row("port range", "[module]\nport = 65536\n", "line 2: 'port' needs");
    row("34 characters", "[module]\nname = " + QByteArray(34, 'a'), "line 2: 'name' needs");
    row("not Latin-1", "[module]\nname = \xE2\x82\xAC\n", "line 2: 'name' needs");
    row("rule", "[module]\ndst-start = 4 7 3 2\n", "line 2: 'dst-start' needs four numbers");
    row("error pair", "[module]\nerror = GERAET\n", "line 2: 'error' needs KEYWORD=N pairs");
    row("switch", "[module]\nsplit = sometimes\n", "line 2: 'split' needs yes, no, on or off");
    row("same MAC", "[module]\nmac = 00 0A 1B 2C 3D 4E\n[module]\nmac = 000A1B2C3D4E\n",
        "line 4: MAC 00 0A 1B 2C 3D 4E is already used by the module at line 2");
    row("generated MAC taken", "[module]\n[module]\nmac = 02:5A:45:00:00:01\n",
        "line 3: MAC 02 5A 45 00 00 01 is already used by the module at line 1");
}

void TestFleetConfig::parse() {
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    const FleetParseResult result = parseFleetText(text);
    QStringList described;
    for (const SimModuleConfig& module : result.modules)
        described += describe(module);
    const QString got = result.ok() ? described.join(u'\n') : result.message();
    QVERIFY2(got.contains(expected), qPrintable(got));
}

void TestFleetConfig::generatedFleet() {
    // Every module of the largest fleet is told apart by the tool and listens on a port of its own.
    QSet<QString> macs, ends;
    for (const SimModuleConfig& module : generateModules(kMaxSimModules)) {
        macs.insert(simMacText(module.mac));
        ends.insert(QStringLiteral("%1:%2").arg(ipv4Text(module.network.ip)).arg(module.network.port));
    }
    QCOMPARE(macs.size(), kMaxSimModules);
    QCOMPARE(ends.size(), kMaxSimModules);
}

QTEST_GUILESS_MAIN(TestFleetConfig)
#include "test_fleet_config.moc"
