#include "sim/sim_protocol.h"
#include "sim_helpers.h"

#include <QtTest>

using namespace zek;
using namespace zek::test;

// The module's own encoding pinned byte by byte, so that a fault shared with the
// tool's decoder cannot hide in the round trip.
class TestSimProtocol : public QObject {
    Q_OBJECT
private slots:
    void searchReply_data();
    void searchReply();
    void softwareInfo();
    void decodeRequest_data();
    void decodeRequest();
};

void TestSimProtocol::searchReply_data() {
    QTest::addColumn<std::optional<quint8>>("mode");
    QTest::addColumn<QByteArray>("nameField");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray head = fromHex("00 03 00 0A 1B 2C 3D 4E");
    const QByteArray values = fromHex("01 C0 A8 01 14 00 50 FF FF FF 00 C0 A8 01 01");
    const QByteArray name = QByteArray("Lab") + QByteArray(30, '\0');
    const QByteArray serial = fromHex("00 00 01 00");
    QTest::newRow("no mode") << std::optional<quint8>() << name
                             << head + fromHex("00 3E") + values + name + serial;
    QTest::newRow("mode 7") << std::optional<quint8>(7) << name
                            << head + fromHex("00 3F") + values + name + serial + '\x07';
    QTest::newRow("unterminated name")
        << std::optional<quint8>(0) << QByteArray(33, 'N')
        << head + fromHex("00 3F") + values + QByteArray(33, 'N') + serial + '\0';
}

void TestSimProtocol::searchReply() {
    QFETCH(std::optional<quint8>, mode);
    QFETCH(QByteArray, nameField);
    QFETCH(QByteArray, expected);
    NetworkValues values;
    values.dhcp = 1;
    values.ip = 0xC0A80114;
    values.port = 80;
    values.netmask = 0xFFFFFF00;
    values.gateway = 0xC0A80101;
    values.nameField = nameField;
    values.mode = mode;
    QCOMPARE(encodeSearchReply({0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E}, 256, values).toHex(' '),
             expected.toHex(' '));
}

void TestSimProtocol::softwareInfo() {
    QCOMPARE(encodeSoftwareInfo({1, 2, 3, 4, 5, 6}, "LTD"), fromHex("00 08 01 02 03 04 05 06 00 03") + "LTD");
    QCOMPARE(encodeSoftwareInfo({1, 2, 3, 4, 5, 6}, ""), fromHex("00 08 01 02 03 04 05 06 00 00"));
}

void TestSimProtocol::decodeRequest_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("mode"); // -1: the request carries none

    const QByteArray body =
        fromHex("01 C0 A8 01 14 00 50 FF FF FF 00 C0 A8 01 01") + "Lab" + QByteArray(30, '\0');
    using Kind = SimRequest::Kind;
    QTest::newRow("search") << searchRequest() << int(Kind::Search) << "00 00 00 00 00 00" << -1;
    QTest::newRow("search, odd reserved byte and trailing bytes")
        << fromHex("FF 01 00 00 00 00 00 00 00 0A 55 55") << int(Kind::Search) << "00 00 00 00 00 00" << -1;
    QTest::newRow("reboot") << fromHex("00 05 00 0A 1B 2C 3D 4E 00 0A") << int(Kind::Reboot)
                            << "00 0A 1B 2C 3D 4E" << -1;
    QTest::newRow("set-values 58") << fromHex("00 04 00 0A 1B 2C 3D 4E 00 3A") + body << int(Kind::SetValues)
                                   << "00 0A 1B 2C 3D 4E" << -1;
    QTest::newRow("set-values 59") << fromHex("00 04 00 0A 1B 2C 3D 4E 00 3B") + body + '\x09'
                                   << int(Kind::SetValues) << "00 0A 1B 2C 3D 4E" << 9;
    QTest::newRow("59 bytes, length field 58") << fromHex("00 04 00 0A 1B 2C 3D 4E 00 3A") + body + '\x09'
                                               << int(Kind::SetValues) << "00 0A 1B 2C 3D 4E" << -1;
    QTest::newRow("length field 59, 58 bytes") << fromHex("00 04 00 0A 1B 2C 3D 4E 00 3B") + body
                                               << int(Kind::SetValues) << "00 0A 1B 2C 3D 4E" << -1;
    QTest::newRow("set-values 57 bytes") << fromHex("00 04 00 0A 1B 2C 3D 4E 00 3A") + body.chopped(1)
                                         << int(Kind::Ignored) << "00 0A 1B 2C 3D 4E" << -1;
    QTest::newRow("nine bytes") << fromHex("00 01 00 00 00 00 00 00 00") << int(Kind::Ignored)
                                << "00 00 00 00 00 00" << -1;
    QTest::newRow("a reply") << fromHex("00 03 00 0A 1B 2C 3D 4E 00 3E") << int(Kind::Ignored)
                             << "00 0A 1B 2C 3D 4E" << -1;
}

void TestSimProtocol::decodeRequest() {
    QFETCH(QByteArray, datagram);
    QFETCH(int, kind);
    QFETCH(QString, mac);
    QFETCH(int, mode);
    const SimRequest request = decodeSimRequest(datagram);
    QCOMPARE(int(request.kind), kind);
    QCOMPARE(simMacText(request.mac), mac);
    QCOMPARE(request.ignoredReason.isEmpty(), kind != int(SimRequest::Kind::Ignored));
    QCOMPARE(request.carriesMode, mode >= 0);
    QCOMPARE(request.values.mode ? int(*request.values.mode) : -1, mode);
    if (request.kind == SimRequest::Kind::SetValues) {
        QCOMPARE(request.values.dhcp, quint8(1));
        QCOMPARE(request.values.ip, 0xC0A80114u);
        QCOMPARE(request.values.port, quint16(80));
        QCOMPARE(request.values.netmask, 0xFFFFFF00u);
        QCOMPARE(request.values.gateway, 0xC0A80101u);
        QCOMPARE(request.values.name(), QByteArray("Lab"));
    }
}

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "test_sim_protocol.moc"
