// The main window against the simulated fleet: start-up search, the tree in each sort
// order, button enabling by selection, routing and the log list.
#include "gui_helpers.h"

#include "core/scan/device_protocol.h"
#include "gui/scan/device_tree.h"
#include "gui/scan/scan_endpoint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMainWindow>
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
    auto* interfaces = f.dialog().control<QComboBox>(5026);
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
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    f.dialog().texts().set("TXT_ZEK_ONLINE", "ZEK online:");
    f.dialog().deviceTree().setOnlineText(QStringLiteral("ZEK online:"));
    f.dialog().deviceTree().setSortOrder(order);
    f.dialog().DispatchButton(5064);
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 0"));
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.moduleNodeTexts(), nodes);
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 3"));

    // Alpha reported no mode ("---"), gamma an unknown one ("???"); empty values are skipped.
    const int alpha = order == 2 ? 0 : 2;
    QCOMPARE(f.leafTexts(alpha), (QStringList{"IP : 127.000.000.020", "Netmask : 255.0.0.0", "Gateway : 127.0.0.1",
                                              "Mode : ---", "Name : Alpha", "Port : 10020", "MAC : 00 50 C2 00 00 14",
                                              "Nr : 1020"}));
    const int gamma = order == 2 ? 2 : 1;
    QVERIFY(f.leafTexts(gamma).contains(QStringLiteral("Mode : ???")));
}

void TestMainWindow::selectionEnablesButtons() {
    GuiFixture f;
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    const int buttons[] = {5035, 5066, 5077, 5068, 5033, 5006, 5193, 5194};
    auto enabled = [&] {
        QList<bool> states;
        for (const int id : buttons)
            states << f.dialog().widget(id)->isEnabled();
        return states;
    };

    f.tree()->setCurrentItem(f.tree()->topLevelItem(0));
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false, false, false, false, false}));
    QCOMPARE(f.dialog().deviceTree().table().selectedIndex(), -1);

    // Searched from 192.0.2.1: the modules on 127/8 are not in the PC's subnet.
    f.tree()->setCurrentItem(f.moduleNode(0));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, false, false, false}));
    QCOMPARE(f.dialog().control<QLineEdit>(5050)->text(), QStringLiteral("3"));
    QCOMPARE(f.dialog().control<QLineEdit>(5036)->text(), QStringLiteral("03"));

    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    QVERIFY(f.waitForModules(3));
    f.tree()->setCurrentItem(f.moduleNode(1)->child(0)); // the IP leaf of the second module
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, true, true, true}));
    QCOMPARE(f.dialog().control<QLineEdit>(5050)->text(), QStringLiteral("5"));
}

void TestMainWindow::nrLeafKeepsTheSelectedModule() {
    GuiFixture f;
    QVERIFY(f.startFleet(threeModules()));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    f.tree()->setCurrentItem(f.moduleNode(0));
    const int selected = f.dialog().deviceTree().table().selectedIndex();
    QVERIFY(selected >= 0);
    QTreeWidgetItem* otherModule = f.moduleNode(2);
    f.tree()->setCurrentItem(otherModule->child(otherModule->childCount() - 1)); // its "Nr" leaf
    QCOMPARE(f.dialog().deviceTree().table().selectedIndex(), selected);
    QCOMPARE(f.dialog().control<QLineEdit>(5050)->text(), QStringLiteral("3"));
    QVERIFY(f.dialog().widget(5035)->isEnabled());
    QVERIFY(f.dialog().widget(5033)->isEnabled());
}

void TestMainWindow::unroutedCheckBoxLogsUnknownButton() {
    GuiFixture f;
    f.startApp();
    auto* box = f.dialog().control<QCheckBox>(5208);
    f.dialog().ToggleView(); // the "D" box lives in the extended view
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QCOMPARE(f.logLines().last(), QStringLiteral("Error: Unkown Button command"));

    const int before = f.logLines().size();
    f.click(5192); // routed by state only: still logs, keeps its state
    QCOMPARE(f.logLines().size(), before + 1);
    QVERIFY(!f.dialog().control<QCheckBox>(5192)->isChecked());
    f.dialog().DispatchButton(5124); // a routed button never logs the line
    QCOMPARE(f.logLines().size(), before + 1);
}

void TestMainWindow::escapeLeavesTheWindowOpen() {
    GuiFixture f;
    f.startApp();
    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    QTest::keyClick(f.app().frame(), Qt::Key_Escape);
    QTest::keyClick(f.dialog().widget(5034), Qt::Key_Escape);
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
    QVERIFY(peer.bind(QHostAddress::AnyIPv4, DEVICE_UDP_PORT, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    const QHostAddress tool(QStringLiteral("192.0.2.1"));
    const quint16 port = f.dialog().endpoint().localPort();
    const QByteArray lying = QByteArray::fromHex("0003000000000001ffff") + QByteArray(20, 'x');
    for (const QByteArray& garbage : {QByteArray(), QByteArray(1, '\3'), QByteArray(65507, '\xA5'), lying,
                                       QByteArray::fromHex("0008000000000000ffff41")})
        QCOMPARE(peer.writeDatagram(garbage, tool, port), qint64(garbage.size()));
    f.dialog().DispatchButton(5064);
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.dialog().deviceTree().table().count(), 3u);
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
    QVERIFY(QTest::qWaitFor([&] { return f.fleet().queuedReplies() == 0 && f.moduleNodeTexts().size() >= 260; }, 10000));
    // A second search in a row answered twice: first answers win, the table holds 260.
    QSignalSpy replies(&f.fleet(), &SimFleet::replySent);
    f.dialog().DispatchButton(5064);
    f.dialog().endpoint().send(encodeSearch());
    QVERIFY(QTest::qWaitFor([&] { return replies.size() == 2 * 262; }, 10000));
    // Datagrams are read in order: once this text shows, every reply before it was handled.
    f.fleet().module(0).setSoftware("marker L");
    QVERIFY(f.fleet().sendSoftwareInfo(0, QHostAddress(QStringLiteral("192.0.2.1")), f.dialog().endpoint().localPort()));
    QTRY_COMPARE_WITH_TIMEOUT(f.dialog().control<QLabel>(5078)->text(), QStringLiteral("marker L"), 5000);
    QCOMPARE(f.moduleNodeTexts().size(), 260);
    QCOMPARE(f.dialog().deviceTree().table().count(), 260u);
}

void TestMainWindow::compactViewHidesTheDebugArea() {
    GuiFixture f;
    f.startApp();
    ZEKConfig& d = f.dialog();
    QVERIFY(d.isCompactView());
    QVERIFY(!d.widget(5065)->isVisible());
    QVERIFY(!d.widget(5035)->isVisible());
    QVERIFY(!d.widget(5066)->isVisible());
    QVERIFY(d.control<QLineEdit>(5041)->isReadOnly());
    for (const int id : {5195, 5196, 5197, 5198, 5033, 1500})
        QVERIFY2(d.widget(id) ? d.widget(id)->isVisible() : d.findChild<QWidget*>("1500")->isVisible(),
                 qPrintable(QString::number(id)));
    QVERIFY(d.height() < d.widget(5003)->geometry().top());
    d.ToggleView();
    QVERIFY(d.widget(5035)->isVisible());
    QVERIFY(!d.control<QLineEdit>(5041)->isReadOnly());
    QVERIFY(d.height() > d.widget(5010)->geometry().bottom());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
