// The network settings panel against the simulated fleet: fields filled from a module,
// the exact set-values bytes, the reboot and search three timer ticks later.
#include "gui_helpers.h"

#include "core/app/control_ids.h"

#include "core/scan/device_protocol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using namespace zek;
using namespace zek::test;

namespace {

struct Panel {
    ZEKConfig& d;
    QString text(int id) const { return d.control<QLineEdit>(id)->text(); }
    void type(int id, const QString& text) const {
        auto* edit = d.control<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void typeAddress(const ctl::OctetEdits& edits, const QStringList& octets) const {
        for (std::size_t i = 0; i < edits.size(); ++i)
            type(edits[i], octets.at(qsizetype(i)));
    }
};

SimModuleConfig tenNet() {
    SimModuleConfig m = GuiFixture::module(9, "Boiler house", 1);
    m.mac = {0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E};
    m.network.ip = 0x0A0000FE; // 10.0.0.254
    m.network.netmask = 0xFFFFFF00;
    m.network.gateway = 0x0A000001;
    m.network.port = 80;
    m.serial = 256;
    return m;
}

// Selects the module whose node text contains `text`.
void selectModule(GuiFixture& f, const QString& text) {
    for (int i = 0; i < f.tree()->topLevelItem(0)->childCount(); ++i)
        if (f.moduleNode(i)->text(0).contains(text))
            f.tree()->setCurrentItem(f.moduleNode(i));
}

// The mode names normally come from the language file.
void fillModeNames(ZEKConfig& d) {
    auto* modes = d.control<QComboBox>(ctl::EthModeList);
    modes->clear();
    modes->addItems({"Auto", "10 HD", "10 FD", "100 HD", "100 FD"});
    modes->setCurrentIndex(-1);
}

} // namespace

class TestNetworkPanel : public QObject {
    Q_OBJECT
private slots:
    void selectingFillsEveryField();
    void setSendsTheValuesThenRebootsAndSearches();
    void unknownModeIsSentBackUnlessChosen();
    void withoutSelectionNothingIsSentButTheSearchFollows();
    void dhcpMakesTheAddressesReadOnly();
    void nameFromModuleIsShownWhole();
};

void TestNetworkPanel::selectingFillsEveryField() {
    GuiFixture f;
    SimModuleConfig unreported = GuiFixture::module(4, "quiet", std::nullopt);
    QVERIFY(f.startFleet({tenNet(), unreported}));
    f.startApp();
    QVERIFY(f.waitForModules(2));
    fillModeNames(f.dialog());
    Panel p{f.dialog()};
    selectModule(f, QStringLiteral("00 0A 1B 2C 3D 4E"));
    const QStringList expected = {"10", "0", "0",  "254", "255", "255", "255", "0",  "10",           "0",
                                  "0",  "1", "00", "0A",  "1B",  "2C",  "3D",  "4E", "Boiler house", "80",
                                  "256"};
    QStringList shown;
    for (const auto& row : {ctl::kIpEdits, ctl::kNetmaskEdits, ctl::kGatewayEdits})
        for (const int id : row)
            shown << p.text(id);
    for (const int id : ctl::kMacEdits)
        shown << p.text(id);
    for (const int id : {ctl::NameEdit, ctl::PortEdit, ctl::SerialEdit})
        shown << p.text(id);
    QCOMPARE(shown, expected);
    auto* mode = f.dialog().control<QComboBox>(ctl::EthModeList);
    QCOMPARE(mode->currentIndex(), 1);
    QVERIFY(mode->isEnabled());

    selectModule(f, QStringLiteral("quiet"));
    QCOMPARE(mode->currentIndex(), -1);
    QVERIFY(!mode->isEnabled());
}

void TestNetworkPanel::setSendsTheValuesThenRebootsAndSearches() {
    GuiFixture f;
    QVERIFY(f.startFleet({tenNet()}));
    f.startApp();
    QVERIFY(f.waitForModules(1));
    fillModeNames(f.dialog());
    selectModule(f, QStringLiteral("Boiler"));
    Panel p{f.dialog()};
    p.typeAddress(ctl::kIpEdits, {"127", "0", "0", "42"});
    p.typeAddress(ctl::kNetmaskEdits, {"255", "0", "0", "0"});
    p.typeAddress(ctl::kGatewayEdits, {"127", "0", "0", "1"});
    p.type(ctl::NameEdit, "Pump");
    p.type(ctl::PortEdit, "10080");
    f.click(ctl::UseDhcp);
    auto* mode = f.dialog().control<QComboBox>(ctl::EthModeList);
    mode->setCurrentIndex(4);
    f.takeRequests();

    QElapsedTimer clock;
    f.click(ctl::SetValues);
    clock.start();
    const Received set = f.waitForRequest(CMD_SET_VALUES);
    const QByteArray expected = QByteArray::fromHex("0004000A1B2C3D4E003B"
                                                    "01"       // DHCP
                                                    "7F00002A" // 127.0.0.42
                                                    "2760"     // port 10080
                                                    "FF000000"
                                                    "7F000001");
    QCOMPARE(set.bytes.size(), 59);
    QCOMPARE(set.bytes.left(25).toHex(), expected.left(25).toHex());
    QCOMPARE(set.bytes.mid(25, 4), QByteArray("Pump"));
    QCOMPARE(set.bytes.at(29), '\0');
    QCOMPARE(set.bytes.at(57), '\0');
    QCOMPARE(set.bytes.at(58), '\4');

    const Received reboot = f.waitForRequest(CMD_REBOOT);
    const qint64 afterSet = clock.elapsed();
    QCOMPARE(reboot.bytes.toHex(), QByteArray("0005000a1b2c3d4e000a"));
    QVERIFY2(afterSet >= 950,
             qPrintable(QString::number(afterSet))); // three 500 ms ticks, the first after 0-500 ms
    qInfo("reboot %lld ms after Set", afterSet);
    const QList<Received> next = f.takeRequests();
    const Received search = next.isEmpty() ? f.waitForRequest(CMD_SEARCH) : next.front();
    QCOMPARE(search.bytes.toHex(), QByteArray("0001000000000000000a"));

    QVERIFY(f.waitForModules(1));
    QCOMPARE(f.moduleNodeTexts(), QStringList{"00 0A 1B 2C 3D 4E : Pump"});
    QVERIFY(f.leafTexts(0).contains(QStringLiteral("IP : 127.000.000.042")));
    QVERIFY(f.leafTexts(0).contains(QStringLiteral("Port : 10080")));
}

void TestNetworkPanel::unknownModeIsSentBackUnlessChosen() {
    GuiFixture f;
    QVERIFY(f.startFleet({GuiFixture::module(6, "odd", 6)}));
    f.startApp();
    QVERIFY(f.waitForModules(1));
    fillModeNames(f.dialog());
    selectModule(f, QStringLiteral("odd"));
    auto* mode = f.dialog().control<QComboBox>(ctl::EthModeList);
    QCOMPARE(mode->currentIndex(), -1);
    QVERIFY(mode->isEnabled());
    f.click(ctl::SetValues);
    QCOMPARE(f.waitForRequest(CMD_SET_VALUES).bytes.at(58), '\6');

    mode->setCurrentIndex(2);
    f.click(ctl::SetValues);
    QCOMPARE(f.waitForRequest(CMD_SET_VALUES).bytes.at(58), '\2');
}

void TestNetworkPanel::withoutSelectionNothingIsSentButTheSearchFollows() {
    GuiFixture f;
    QVERIFY(f.startFleet({tenNet()}));
    f.startApp();
    QVERIFY(f.waitForModules(1));
    f.takeRequests();
    f.dialog().DispatchButton(ctl::Reboot);
    f.dialog().DispatchButton(ctl::SetValues);
    QCOMPARE(f.waitForRequest(CMD_SEARCH).bytes.size(), 10);
    for (const Received& r : f.takeRequests())
        QVERIFY(quint8(r.bytes.at(1)) == CMD_SEARCH);
}

void TestNetworkPanel::dhcpMakesTheAddressesReadOnly() {
    GuiFixture f;
    f.startApp();
    f.click(ctl::UseDhcp);
    for (const auto& row : {ctl::kIpEdits, ctl::kNetmaskEdits, ctl::kGatewayEdits})
        for (const int id : row)
            QVERIFY(f.dialog().control<QLineEdit>(id)->isReadOnly());
    QVERIFY(!f.dialog().control<QLineEdit>(ctl::PortEdit)->isReadOnly());
    f.click(ctl::UseDhcp);
    QVERIFY(!f.dialog().control<QLineEdit>(ctl::kIpEdits[0])->isReadOnly());
}

void TestNetworkPanel::nameFromModuleIsShownWhole() {
    GuiFixture f;
    const QByteArray longName(32, 'N');
    QVERIFY(f.startFleet({GuiFixture::module(7, longName.constData())}));
    f.startApp();
    QVERIFY(f.waitForModules(1));
    selectModule(f, QStringLiteral("NNN"));
    auto* name = f.dialog().control<QLineEdit>(ctl::NameEdit);
    QCOMPARE(name->text(), QString::fromLatin1(longName));
}

QTEST_MAIN(TestNetworkPanel)
#include "test_network_panel.moc"
