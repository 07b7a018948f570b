// The module's side of the UDP protocol: each request, in hex, against the answer a
// module object gives, then one search answered over loopback and read by the tool.
#include "sim/sim_fleet.h"
#include "sim/sim_protocol.h"
#include "sim_helpers.h"

#include <QtTest>

#include <set>

using namespace zek;
using namespace zek::test;

namespace {

const QString kModule = QStringLiteral("mac=00 0A 1B 2C 3D 4E;serial=256;ip=192.168.1.20;port=80;"
                                       "netmask=255.255.255.0;gateway=192.168.1.1;dhcp=1;name=Lab;mode=4;");
const QByteArray kMac = hex("00 0A 1B 2C 3D 4E");
const QByteArray kOld =
    hex("01 C0 A8 01 14 00 50 FF FF FF 00 C0 A8 01 01") + QByteArray("Lab").leftJustified(33, 0);
const QByteArray kNew =
    hex("00 0A 00 00 07 1F 90 FF 00 00 00 0A 00 00 01") + QByteArray("Hall").leftJustified(33, 0);
const QByteArray kSearch = hex("00 01 00 00 00 00 00 00 00 0A");
const QByteArray kReboot = hex("00 05") + kMac + hex("00 0A");
const QByteArray kSet58 = hex("00 04") + kMac + hex("00 3A") + kNew;
const QByteArray kSet59 = hex("00 04") + kMac + hex("00 3B") + kNew + '\x02';

QByteArray reply(const QByteArray& values, const char* mode = "") {
    return hex("00 03") + kMac + hex(*mode ? "00 3F" : "00 3E") + values + hex("00 00 01 00") + hex(mode);
}

} // namespace

class TestSimUdp : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void softwareInfo();
    void searchOverLoopback();
};

void TestSimUdp::answers_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArrayList>("requests"); // "up": the rebooting module comes up again
    QTest::addColumn<QByteArrayList>("replies");
    const auto row = [](const char* tag, const QString& keys, const QByteArrayList& requests,
                        const QByteArrayList& replies) { QTest::newRow(tag) << keys << requests << replies; };
    // A set-values request, then the reboot and the search that show what the module took.
    const auto set = [&](const char* tag, const QString& keys, const QByteArray& request,
                         const QByteArray& shown) {
        row(tag, keys, {request, kReboot, "up", kSearch}, {shown});
    };
    const QByteArray other = hex("00 0A 1B 2C 3D 4F");
    // The tool's Set for a module it found with the unknown mode 7, the mode left alone.
    QNetworkDatagram found(reply(kNew, "07"));
    found.setSender(QHostAddress(QHostAddress::LocalHost), 8002);
    const std::vector<std::uint8_t> tool = encodeSetValues(decodeDevice(found)->record);

    row("search", "", {kSearch}, {reply(kOld, "04")});
    row("search, no mode", "mode=none", {kSearch}, {reply(kOld)});
    row("unterminated name", "name=" + QString(33, u'N'), {kSearch},
        {reply(kOld.first(15) + QByteArray(33, 'N'), "04")});
    row("lenient search", "", {hex("FF 01 00 00 00 00 00 00 00 0A 55")}, {reply(kOld, "04")});
    row("too short", "", {"", "\x01", kSearch.chopped(1), kReboot.chopped(1)}, {});
    row("not a request", "", {reply(kOld), hex("00 08") + kMac + hex("00 01 4C"), "garbage"}, {});
    row("values wait for the reboot", "", {kSet59, kSearch, kReboot, kSearch, kReboot, "up", kSearch},
        {reply(kOld, "04"), reply(kNew, "02")});
    row("reboot of another module", "", {kSet59, QByteArray(kReboot).replace(2, 6, other), kSearch},
        {reply(kOld, "04")});
    set("58 bytes keep the mode", "", kSet58, reply(kNew, "04"));
    set("no mode to take", "mode=none", kSet59, reply(kNew));
    set("mode byte beyond the length field", "", QByteArray(kSet59).replace(9, 1, "\x3A"), reply(kNew, "04"));
    set("length field beyond the bytes", "", QByteArray(kSet58).replace(9, 1, "\x3B"), reply(kNew, "04"));
    set("short set-values", "", kSet58.chopped(1), reply(kOld, "04"));
    set("set-values for another module", "", QByteArray(kSet59).replace(2, 6, other), reply(kOld, "04"));
    set("the tool's own request", "mode=2",
        QByteArray(reinterpret_cast<const char*>(tool.data()), qsizetype(tool.size())), reply(kNew, "07"));
}

void TestSimUdp::answers() {
    QFETCH(QString, keys);
    QFETCH(QByteArrayList, requests);
    QFETCH(QByteArrayList, replies);
    SimModule module(moduleWith(kModule + keys));
    QByteArrayList sent;
    for (const QByteArray& request : requests) {
        if (request == "up")
            module.reboot();
        else if (SimUdpAction action = actOnRequest(module, decodeSimRequest(request));
                 action.kind == SimUdpAction::Kind::Reply)
            sent += action.reply;
    }
    QCOMPARE(sent.join('|').toHex(' '), replies.join('|').toHex(' '));
}

void TestSimUdp::softwareInfo() {
    QCOMPARE(encodeSoftwareInfo({1, 2, 3, 4, 5, 6}, "LTD"), hex("00 08 01 02 03 04 05 06 00 03") + "LTD");
    QCOMPARE(encodeSoftwareInfo({1, 2, 3, 4, 5, 6}, ""), hex("00 08 01 02 03 04 05 06 00 00"));
}

void TestSimUdp::searchOverLoopback() {
    SimFleet fleet(generateModules(3));
    fleet.setOptions({.replySpacingMs = 0, .tcp = false});
    QVERIFY(fleet.start());
    QUdpSocket tool;
    QVERIFY(tool.bind(QHostAddress(QHostAddress::LocalHost), 0));
    QCOMPARE(tool.writeDatagram(kSearch, QHostAddress::Broadcast, 8002), 10);
    std::set<std::string> macs;
    for (const QNetworkDatagram& datagram : receive(tool, 3)) {
        const auto device = decodeDevice(datagram);
        QVERIFY(device);
        // From port 8002 and the module's own address, as the tool expects; Windows offers
        // no choice of the source, so there all modules answer from the fleet's one address.
        if (QSysInfo::productType() != QLatin1String("windows"))
            QCOMPARE(datagram.senderAddress(), QHostAddress(device->record.CurrentIp));
        macs.insert(device->texts.mac);
    }
    QCOMPARE(macs, (std::set<std::string>{"02 5A 45 00 00 01", "02 5A 45 00 00 02", "02 5A 45 00 00 03"}));
}

QTEST_GUILESS_MAIN(TestSimUdp)
#include "test_sim_udp.moc"
