// The main window against the simulated fleet: start-up search, the tree in each sort
// order, button enabling by selection, routing and the log list.
#include "gui_helpers.h"

#include "core/app/control_ids.h"
#include "core/scan/device_protocol.h"
#include "sim/sim_protocol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>

using namespace zek;
using namespace zek::test;

namespace {

const QByteArray kSearch = QByteArray::fromHex("0001000000000000000a");

std::vector<SimModuleConfig> threeModules() {
    auto a = GuiFixture::module(3, "beta");
    auto b = GuiFixture::module(20, "Alpha", std::nullopt);
    auto c = GuiFixture::module(5, "gamma", 7);
    return {a, b, c};
}

void writeSettings(const QByteArray& bytes) {
    QFile file(QDir::current().filePath(QStringLiteral("MERIDON_Brisklink.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The port the tool's endpoint searched from, as the fleet saw it.
quint16 toolPort(GuiFixture& f) {
    QSignalSpy requests(&f.fleet(), &SimFleet::requestReceived);
    f.dialog().DispatchButton(ctl::Search);
    return requests.wait(5000) ? requests.last().at(2).value<quint16>() : 0;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUpSearchesFromTheFirstInterface();
    void treeInEachSortOrder_data();
    void treeInEachSortOrder();
    void selectionEnablesButtons();
    void nrLeafKeepsTheSelectedModule();
    void unroutedCheckBoxLogsUnknownButton();
    void escapeLeavesTheWindowOpen();
    void logKeeps501Lines();
    void garbageDoesNotHideLaterReplies();
    void duplicatesAndAFullTable();
    void compactViewHidesTheDebugArea();
};

void TestMainWindow::startUpSearchesFromTheFirstInterface() {
    GuiFixture f;
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    const Received search = f.waitForRequest(CMD_SEARCH);
    QCOMPARE(search.bytes, kSearch);
    QCOMPARE(search.sender, QHostAddress(QStringLiteral("192.0.2.1")));
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.app().frame()->windowTitle(), QStringLiteral("MERIDON Brisklink"));
    auto* interfaces = f.dialog().control<QComboBox>(ctl::PcIpList);
    QCOMPARE(interfaces->itemText(0), QStringLiteral("1: 192.0.2.1"));
    QCOMPARE(interfaces->itemText(interfaces->count() - 1),
             QStringLiteral("%1: 127.0.0.1").arg(interfaces->count()));

    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    const Received again = f.waitForRequest(CMD_SEARCH);
    QCOMPARE(again.sender, QHostAddress(QStringLiteral("127.0.0.1")));
    QVERIFY(f.waitForModules(3));
}

void TestMainWindow::treeInEachSortOrder_data() {
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("nodes");
    QTest::newRow("MAC") << 0
                         << QStringList{"00 50 C2 00 00 03 : beta", "00 50 C2 00 00 05 : gamma",
                                        "00 50 C2 00 00 14 : Alpha"};
    QTest::newRow("IP") << 1
                        << QStringList{"127.000.000.003 : beta", "127.000.000.005 : gamma",
                                       "127.000.000.020 : Alpha"};
    QTest::newRow("name") << 2
                          << QStringList{" Alpha : 127.000.000.020", " beta : 127.000.000.003",
                                         " gamma : 127.000.000.005"};
}

void TestMainWindow::treeInEachSortOrder() {
    QFETCH(int, order);
    QFETCH(QStringList, nodes);
    GuiFixture f;
    GuiFixture::installLanguageFiles();
    writeSettings("[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=English\nTREE_SORTING=" +
                  QByteArray::number(order) + "\n");
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    f.dialog().DispatchButton(ctl::Search);
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 0"));
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.moduleNodeTexts(), nodes);
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 3"));

    // Alpha reported no mode ("---"), gamma an unknown one ("???"); empty values are skipped.
    const int alpha = order == 2 ? 0 : 2;
    QCOMPARE(
        f.leafTexts(alpha),
        (QStringList{"IP : 127.000.000.020", "Netmask : 255.0.0.0", "Gateway : 127.0.0.1", "Mode : ---",
                     "DHCP : off", "Name : Alpha", "Port : 10020", "MAC : 00 50 C2 00 00 14", "No. : 1020"}));
    const int gamma = order == 2 ? 2 : 1;
    QVERIFY(f.leafTexts(gamma).contains(QStringLiteral("Mode : ???")));
}

void TestMainWindow::selectionEnablesButtons() {
    GuiFixture f;
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    const int buttons[] = {ctl::Reboot,    ctl::SetMac,  ctl::SoftwareRead,     ctl::EepromSet,
                           ctl::SetValues, ctl::Connect, ctl::TechnicalWebsite, ctl::UserWebsite};
    auto enabled = [&] {
        QList<bool> states;
        for (const int id : buttons)
            states << f.dialog().widget(id)->isEnabled();
        return states;
    };

    f.tree()->setCurrentItem(f.tree()->topLevelItem(0));
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false, false, false, false, false}));

    // Searched from 192.0.2.1: the modules on 127/8 are not in the PC's subnet.
    f.tree()->setCurrentItem(f.moduleNode(0));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, false, false, false}));
    QCOMPARE(f.dialog().control<QLineEdit>(ctl::kIpEdits[3])->text(), QStringLiteral("3"));
    QCOMPARE(f.dialog().control<QLineEdit>(ctl::kMacEdits[5])->text(), QStringLiteral("03"));

    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    QVERIFY(f.waitForModules(3));
    f.tree()->setCurrentItem(f.moduleNode(1)->child(0)); // the IP leaf of the second module
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, true, true, true}));
    QCOMPARE(f.dialog().control<QLineEdit>(ctl::kIpEdits[3])->text(), QStringLiteral("5"));
}

void TestMainWindow::nrLeafKeepsTheSelectedModule() {
    GuiFixture f;
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    f.tree()->setCurrentItem(f.moduleNode(0));
    auto* macList = f.dialog().control<QComboBox>(ctl::MacList);
    const int selected = macList->currentIndex();
    QVERIFY(selected >= 0);
    QTreeWidgetItem* otherModule = f.moduleNode(2);
    f.tree()->setCurrentItem(otherModule->child(otherModule->childCount() - 1)); // its "Nr" leaf
    QCOMPARE(macList->currentIndex(), selected);
    QCOMPARE(f.dialog().control<QLineEdit>(ctl::kIpEdits[3])->text(), QStringLiteral("3"));
    QVERIFY(f.dialog().widget(ctl::Reboot)->isEnabled());
    QVERIFY(f.dialog().widget(ctl::SetValues)->isEnabled());
}

void TestMainWindow::unroutedCheckBoxLogsUnknownButton() {
    GuiFixture f;
    f.startApp();
    auto* box = f.dialog().control<QCheckBox>(ctl::kFeatureLetters[5].checkBox);
    f.dialog().ToggleView(); // the "D" box lives in the extended view
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QCOMPARE(f.logLines().last(), QStringLiteral("Error: Unkown Button command"));

    const int before = f.logLines().size();
    f.click(ctl::AutoRead); // routed by state only: still logs, keeps its state
    QCOMPARE(f.logLines().size(), before + 1);
    QVERIFY(!f.dialog().control<QCheckBox>(ctl::AutoRead)->isChecked());
    f.dialog().DispatchButton(ctl::AutomaticDst); // a routed button never logs the line
    QCOMPARE(f.logLines().size(), before + 1);
}

void TestMainWindow::escapeLeavesTheWindowOpen() {
    GuiFixture f;
    f.startApp();
    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    QTest::keyClick(f.app().frame(), Qt::Key_Escape);
    QTest::keyClick(f.dialog().widget(ctl::NameEdit), Qt::Key_Escape);
    QVERIFY(f.app().frame()->isVisible());
}

void TestMainWindow::logKeeps501Lines() {
    GuiFixture f;
    f.startApp();
    const int before = f.logLines().size();
    for (int i = 0; i < 600; ++i)
        f.dialog().AppendLogLine(QStringLiteral("line %1").arg(i));
    const QStringList lines = f.logLines();
    QCOMPARE(lines.size(), 501);
    QCOMPARE(lines.last(), QStringLiteral("line 599"));
    QCOMPARE(lines.first(), QStringLiteral("line %1").arg(600 - 501));
    QVERIFY(before < 501);
}

void TestMainWindow::garbageDoesNotHideLaterReplies() {
    GuiFixture f;
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    // Garbage from the modules' port straight to the tool's socket, then a new search.
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::AnyIPv4, DEVICE_UDP_PORT,
                      QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    const QHostAddress tool(QStringLiteral("192.0.2.1"));
    const quint16 port = toolPort(f);
    const QByteArray lying = QByteArray::fromHex("0003000000000001ffff") + QByteArray(20, 'x');
    for (const QByteArray& garbage : {QByteArray(), QByteArray(1, '\3'), QByteArray(65507, '\xA5'), lying,
                                      QByteArray::fromHex("0008000000000000ffff41")})
        QCOMPARE(peer.writeDatagram(garbage, tool, port), qint64(garbage.size()));
    f.dialog().DispatchButton(ctl::Search);
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.moduleNodeTexts().size(), 3);
}

void TestMainWindow::duplicatesAndAFullTable() {
    std::vector<SimModuleConfig> modules;
    for (int i = 0; i < 262; ++i)
        modules.push_back(GuiFixture::module(2 + i, "m"));
    GuiFixture f;
    FleetOptions burst;
    burst.replySpacingMs = 0;
    QVERIFY(f.startFleet(modules, burst));
    f.startApp();
    QVERIFY(QTest::qWaitFor(
        [&] { return f.fleet().queuedReplies() == 0 && f.moduleNodeTexts().size() >= 260; }, 10000));
    // Every module answers once more under another name: first answers win.
    const quint16 port = toolPort(f);
    QVERIFY(QTest::qWaitFor(
        [&] { return f.fleet().queuedReplies() == 0 && f.moduleNodeTexts().size() >= 260; }, 10000));
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::AnyIPv4, DEVICE_UDP_PORT,
                      QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    const QHostAddress tool(QStringLiteral("192.0.2.1"));
    for (SimModuleConfig& module : modules) {
        module.network.setName("again");
        peer.writeDatagram(encodeSearchReply(module.mac, module.serial, module.network), tool, port);
    }
    // Datagrams are read in order: once this text shows, every reply before it was handled.
    f.fleet().module(0).setSoftware("marker L");
    QVERIFY(f.fleet().sendSoftwareInfo(0, tool, port));
    QTRY_COMPARE_WITH_TIMEOUT(f.dialog().control<QLabel>(ctl::SoftwareText)->text(),
                              QStringLiteral("marker L"), 5000);
    QCOMPARE(f.moduleNodeTexts().size(), 260);
    QVERIFY(!f.moduleNodeTexts().join(QString()).contains(QStringLiteral("again")));
}

void TestMainWindow::compactViewHidesTheDebugArea() {
    GuiFixture f;
    f.startApp();
    ZEKConfig& d = f.dialog();
    QVERIFY(d.isCompactView());
    QVERIFY(!d.widget(ctl::ViewButton)->isVisible());
    QVERIFY(!d.widget(ctl::Reboot)->isVisible());
    QVERIFY(!d.widget(ctl::SetMac)->isVisible());
    QVERIFY(d.control<QLineEdit>(ctl::kMacEdits[0])->isReadOnly());
    for (const int id : {ctl::LoggerGroupSet, ctl::LoggerGroupRead, ctl::SnmpGroupRead, ctl::SnmpGroupSet,
                         ctl::SetValues, ctl::Gauge})
        QVERIFY2(d.findChild<QWidget*>(QString::number(id))->isVisible(), qPrintable(QString::number(id)));
    QVERIFY(d.height() < d.widget(ctl::DebugGroup)->geometry().top());
    d.ToggleView();
    QVERIFY(d.widget(ctl::Reboot)->isVisible());
    QVERIFY(!d.control<QLineEdit>(ctl::kMacEdits[0])->isReadOnly());
    QVERIFY(d.height() > d.widget(ctl::LogList)->geometry().bottom());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
