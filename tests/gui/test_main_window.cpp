// The main window against the simulated fleet, one path per panel, with what bad peers,
// bad datagrams and bad files do. What the settings and language files decide is pinned in
// core; here the window shows it, stores the user's next choice and restarts with it.
#include "gui_helpers.h"

#include "core/app/control_ids.h"
#include "core/scan/device_protocol.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "sim/sim_protocol.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

using namespace zek;
using namespace zek::test;

namespace {

const QString kDisconnected = QStringLiteral("ZEKConfig: Socket disconnected");
const QByteArray kSearch = QByteArray::fromHex("0001000000000000000a");
const QHostAddress kFirstPc(QStringLiteral("192.0.2.1"));

QList<bool> enabled(const GuiFixture& f, std::initializer_list<int> ids) {
    QList<bool> states;
    for (const int id : ids)
        states << f.dialog().widget(id)->isEnabled();
    return states;
}

void selectModule(GuiFixture& f, const QString& text) {
    for (int i = 0; i < f.moduleNodeTexts().size(); ++i)
        if (f.moduleNode(i)->text(0).contains(text))
            f.tree()->setCurrentItem(f.moduleNode(i));
}

QString texts(const GuiFixture& f, std::span<const int> ids) {
    QString all;
    for (const int id : ids)
        all += f.text(id) + '.';
    return all;
}

// Types the dot-separated parts of `text` into the edits, one each, as the user would.
void type(GuiFixture& f, std::span<const int> ids, const QString& text) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto* edit = f.dialog().control<QLineEdit>(ids[i]);
        edit->selectAll();
        QTest::keyClicks(edit, text.section('.', int(i), int(i)));
    }
}

void verifyIdle(GuiFixture& f) {
    QCOMPARE(f.text(ctl::StateText), QStringLiteral("State: Idle"));
    QCOMPARE(f.dialog().windowTitle(), QStringLiteral("Netz 1: 192.0.2.1  nicht verbunden"));
    QCOMPARE(enabled(f, {ctl::Search, ctl::LoggerRead}), (QList<bool>{true, false}));
}

const QString kSettings = QStringLiteral("MERIDON_Brisklink.ini");

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(QDir::current().filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString& name) {
    QFile file(QDir::current().filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A language file that marks itself in the Search button.
QByteArray markerLanguage(const char* search) {
    return QByteArray("[GROUPBOX_SOCKET_COMMUNICATION]\r\nBUTTON_SEARCH=") + search + "\r\n";
}

// ETH_INTERFACE, LANGUAGE and TREE_SORTING as the file holds them.
QString saved() {
    const TProfile p("BASIC_SETTINGS", QDir::current().filePath(kSettings).toStdString());
    return QStringLiteral("%1 %2 %3")
        .arg(p.GetInt("ETH_INTERFACE", -9))
        .arg(QString::fromStdString(p.GetString("LANGUAGE", "<none>")))
        .arg(p.GetInt("TREE_SORTING", -9));
}

QString caption(const QWidget* w) {
    return w->property(qobject_cast<const QGroupBox*>(w) ? "title" : "text").toString();
}

QAction* action(QMenu* menu, int id) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QString::number(id))
            return a;
    return nullptr;
}

// The menu as the user opens it: per entry 'e' or '-' for enabled, 'c' when checked.
QStringList menuStates(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList states;
    for (const QAction* a : menu->actions())
        states << QLatin1String(a->isEnabled() ? "e" : "-") + QLatin1String(a->isChecked() ? "c" : "");
    return states;
}

int checkedLanguage(GuiFixture& f) {
    return int(menuStates(f.app().menu(1)).indexOf(QRegularExpression(QStringLiteral(".c"))));
}

qsizetype tooltipCount(GuiFixture& f) {
    const QList<QWidget*> widgets = f.dialog().findChildren<QWidget*>();
    return std::count_if(widgets.begin(), widgets.end(), [](QWidget* w) { return !w->toolTip().isEmpty(); });
}

// Whether a tooltip request on the widget shows its tip; a tip still up is first let go.
bool tipShows(QWidget* w) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000))
        return true;
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &help);
    return QToolTip::isVisible() && QToolTip::text() == w->toolTip();
}

QComboBox* list(GuiFixture& f, int id) {
    return f.dialog().control<QComboBox>(id);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void searchTreeSelectionAndRestart();
    void networkPanelSetsRebootsAndSearches();
    void sessionAndPeerFailures();
    void badDuplicateAndSurplusReplies();
    void viewRoutingAndLog();
    void languagesMenuAndTips();
    void everyKeyReachesItsTarget();
    void startupReadsTheFiles_data();
    void startupReadsTheFiles();
};

void TestMainWindow::searchTreeSelectionAndRestart() {
    GuiFixture f;
    GuiFixture::installLanguageFiles();
    const QByteArray head = "; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nLANG02=English\r\n";
    writeFile(kSettings, head);
    QVERIFY(f.startFleet({GuiFixture::module(3, "beta"), GuiFixture::module(20, "Alpha", std::nullopt),
                          GuiFixture::module(5, "gamma", 7)}));
    f.startApp();
    const Received search = f.waitForRequest(CMD_SEARCH);
    QCOMPARE(search.bytes, kSearch);
    QCOMPARE(search.sender, kFirstPc);
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.app().frame()->windowTitle(), QStringLiteral("MERIDON Brisklink"));
    QCOMPARE(list(f, ctl::PcIpList)->itemText(0), "1: 192.0.2.1");
    QCOMPARE(f.moduleNodeTexts(), (QStringList{"00 50 C2 00 00 03 : beta", "00 50 C2 00 00 05 : gamma",
                                               "00 50 C2 00 00 14 : Alpha"}));
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral(" 3")); // no language chosen: no label

    const auto buttons = {ctl::Reboot,    ctl::SetMac,  ctl::SoftwareRead,     ctl::EepromSet,
                          ctl::SetValues, ctl::Connect, ctl::TechnicalWebsite, ctl::UserWebsite};
    f.tree()->setCurrentItem(f.tree()->topLevelItem(0));
    QCOMPARE(enabled(f, buttons), QList<bool>(8, false));
    // Searched from 192.0.2.1: the modules on 127/8 are not in the PC's subnet.
    f.tree()->setCurrentItem(f.moduleNode(0));
    QCOMPARE(enabled(f, buttons), (QList<bool>{true, true, true, true, true, false, false, false}));
    QCOMPARE(f.text(ctl::kIpEdits[3]), QStringLiteral("3"));
    QCOMPARE(f.text(ctl::kMacEdits[5]), QStringLiteral("03"));
    // Another module's "No." leaf leaves the selection as it is.
    const int selected = list(f, ctl::MacList)->currentIndex();
    f.tree()->setCurrentItem(f.moduleNode(2)->child(f.moduleNode(2)->childCount() - 1));
    QCOMPARE(list(f, ctl::MacList)->currentIndex(), selected);
    QCOMPARE(f.text(ctl::kIpEdits[3]), QStringLiteral("3"));
    QCOMPARE(enabled(f, {ctl::Reboot, ctl::SetValues}), (QList<bool>{true, true}));

    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral(" 0"));
    QCOMPARE(f.waitForRequest(CMD_SEARCH).sender, QHostAddress(QStringLiteral("127.0.0.1")));
    QVERIFY(f.waitForModules(3));
    f.tree()->setCurrentItem(f.moduleNode(1)->child(0)); // the IP leaf of the second module
    QCOMPARE(enabled(f, buttons), QList<bool>(8, true));
    QCOMPARE(f.text(ctl::kIpEdits[3]), QStringLiteral("5"));

    // The interface, the language and the order chosen are there after a restart.
    f.dialog().DispatchButton(cmd::LanguageFirst);
    choose(list(f, ctl::SortList), 2);
    QVERIFY(f.waitForModules(3));
    QCOMPARE(saved(), QStringLiteral("2 Deutsch 2"));
    QVERIFY(readFile(kSettings).startsWith(head));
    f.startApp();
    QCOMPARE(list(f, ctl::PcIpList)->currentIndex(), 2);
    QCOMPARE(list(f, ctl::SortList)->currentText(), QStringLiteral("Name"));
    QCOMPARE(std::pair(f.text(ctl::Search), f.text(ctl::Connect)),
             std::pair(QStringLiteral("Suchen"), QStringLiteral("Verbinden")));
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.moduleNodeTexts(), (QStringList{" Alpha : 127.000.000.020", " beta : 127.000.000.003",
                                               " gamma : 127.000.000.005"}));
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 3"));
    QCOMPARE(f.leafTexts(0), (QStringList{"IP : 127.000.000.020", "Netzmaske : 255.0.0.0",
                                          "Gateway : 127.0.0.1", "Modus : ---", "DHCP : aus", "Name : Alpha",
                                          "Port : 10020", "MAC : 00 50 C2 00 00 14", "Nr : 1020"}));
    QVERIFY(f.leafTexts(1).contains(QStringLiteral("Modus : Automatisch")));
    // The German MAC label still leads the selection to the module.
    f.tree()->setCurrentItem(f.moduleNode(0)->child(0));
    QCOMPARE(f.text(ctl::kIpEdits[3]), QStringLiteral("20"));
}

void TestMainWindow::networkPanelSetsRebootsAndSearches() {
    SimModuleConfig tenNet = GuiFixture::module(9, "Boiler house", 1);
    tenNet.mac = {0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E};
    tenNet.network.ip = 0x0A0000FE; // 10.0.0.254
    tenNet.network.netmask = 0xFFFFFF00;
    tenNet.network.gateway = 0x0A000001;
    tenNet.network.port = 80;
    tenNet.serial = 256;
    const QByteArray longName(32, 'N');
    GuiFixture f;
    QVERIFY(f.startFleet({tenNet, GuiFixture::module(4, "quiet", std::nullopt),
                          GuiFixture::module(6, longName.constData(), 6)}));
    f.startApp();
    QVERIFY(f.waitForModules(3));
    // Without a selection Reboot and Set send nothing, but the search still follows.
    f.takeRequests();
    f.dialog().DispatchButton(ctl::Reboot);
    f.dialog().DispatchButton(ctl::SetValues);
    QCOMPARE(f.waitForRequest(CMD_SEARCH).bytes, kSearch);
    for (const Received& r : f.takeRequests())
        QCOMPARE(quint8(r.bytes.at(1)), CMD_SEARCH);
    QVERIFY(f.waitForModules(3));

    // The mode names normally come from the language file.
    auto* mode = list(f, ctl::EthModeList);
    mode->clear();
    mode->addItems({"Auto", "10 HD", "10 FD", "100 HD", "100 FD"});
    selectModule(f, QStringLiteral("quiet"));
    QCOMPARE(std::pair(mode->currentIndex(), mode->isEnabled()), std::pair(-1, false));
    // An unknown mode shows no entry and is sent back as it came.
    selectModule(f, QStringLiteral("NNN"));
    QCOMPARE(f.text(ctl::NameEdit), QString::fromLatin1(longName));
    QCOMPARE(std::pair(mode->currentIndex(), mode->isEnabled()), std::pair(-1, true));
    f.click(ctl::SetValues);
    QCOMPARE(f.waitForRequest(CMD_SET_VALUES).bytes.at(58), '\6');
    QCOMPARE(f.waitForRequest(CMD_SEARCH).bytes, kSearch);
    QVERIFY(f.waitForModules(3));

    selectModule(f, QStringLiteral("Boiler"));
    QCOMPARE(texts(f, ctl::kIpEdits) + texts(f, ctl::kNetmaskEdits) + texts(f, ctl::kGatewayEdits) +
                 texts(f, ctl::kMacEdits) +
                 texts(f, std::array{ctl::NameEdit, ctl::PortEdit, ctl::SerialEdit}),
             "10.0.0.254.255.255.255.0.10.0.0.1.00.0A.1B.2C.3D.4E.Boiler house.80.256.");
    QCOMPARE(std::pair(mode->currentIndex(), mode->isEnabled()), std::pair(1, true));

    type(f, ctl::kIpEdits, "127.0.0.42");
    type(f, ctl::kNetmaskEdits, "255.0.0.0");
    type(f, ctl::kGatewayEdits, "127.0.0.1");
    type(f, std::array{ctl::NameEdit, ctl::PortEdit}, "Pump.10080");
    f.click(ctl::UseDhcp);
    for (const auto& row : {ctl::kIpEdits, ctl::kNetmaskEdits, ctl::kGatewayEdits})
        for (const int id : row)
            QVERIFY(f.dialog().control<QLineEdit>(id)->isReadOnly());
    QVERIFY(!f.dialog().control<QLineEdit>(ctl::PortEdit)->isReadOnly());
    mode->setCurrentIndex(4);
    f.takeRequests();

    QElapsedTimer clock;
    f.click(ctl::SetValues);
    clock.start();
    // DHCP on, the address, the port, netmask and gateway; behind the name what the old one left.
    const QByteArray set = f.waitForRequest(CMD_SET_VALUES).bytes;
    QCOMPARE(
        set.left(30).toHex(),
        (QByteArray::fromHex("0004000A1B2C3D4E003B017F00002A2760FF0000007F000001") + QByteArray("Pump", 5))
            .toHex());
    QCOMPARE(set.mid(57).toHex(), QByteArray("0004"));
    QCOMPARE(f.waitForRequest(CMD_REBOOT).bytes.toHex(), QByteArray("0005000a1b2c3d4e000a"));
    // Three 500 ms ticks, the first of them 0 to 500 ms after the click.
    const qint64 afterSet = clock.elapsed();
    QVERIFY2(afterSet >= 950, qPrintable(QString::number(afterSet)));
    qInfo("reboot %lld ms after Set", afterSet);
    QCOMPARE(f.waitForRequest(CMD_SEARCH).bytes, kSearch);
    QVERIFY(f.waitForModules(3));
    QCOMPARE(f.moduleNodeTexts().first(), QStringLiteral("00 0A 1B 2C 3D 4E : Pump"));
    QVERIFY(f.leafTexts(0).contains(QStringLiteral("IP : 127.000.000.042")));
    QVERIFY(f.leafTexts(0).contains(QStringLiteral("Port : 10080")));
}

void TestMainWindow::sessionAndPeerFailures() {
    ConnectedFixture f;
    QVERIFY(f.ready);
    const SimDeviceState& module = f.fleet().module(0).state();
    QCOMPARE(f.text(ctl::StateText), QStringLiteral("State: Connected"));
    QCOMPARE((QStringList{f.text(ctl::ModuleTyp), f.text(ctl::ModuleRevision), f.text(ctl::ModuleFirma)}),
             (QStringList{module.deviceType, module.revision, module.company}));
    QVERIFY(!f.dialog().widget(ctl::Search)->isEnabled());
    QByteArray received;
    QObject::connect(&f.fleet(), &SimFleet::tcpBytesReceived,
                     [&](int, const QByteArray& bytes) { received += bytes; });
    QSignalSpy ended(&f.fleet(), &SimFleet::tcpDisconnected);

    f.click(ctl::LoggerRead);
    f.dialog().control<QLineEdit>(ctl::SnmpLocation)->setText(QStringLiteral("Boiler room 2"));
    f.click(ctl::SnmpLocationSet);
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("?LOG_ON\r!SNMP_LOC Boiler room 2\r"), 5000);
    QCOMPARE(f.logLines().filter(QStringLiteral("SND: ")).mid(4),
             (QStringList{"SND: ?LOG_ON\r", "SND: !SNMP_LOC Boiler room 2\r"}));

    f.click(ctl::Connect);
    QCOMPARE(f.logLines().last(), kDisconnected);
    verifyIdle(f);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);

    // After the identity's four queries the next command ends the connection, or none starts.
    // The error numbers are the platform's own: the window prints what the system reported.
    const auto error = [](const char* what, int number) {
        return QStringLiteral("ZEKConfig: TCP/IP Error %1 (Winsock:%2)").arg(what).arg(number, 5);
    };
    const std::pair<const char*, QStringList> failures[] = {
        {"close", {kDisconnected}},
        {"reset", {error("closing socket", ZEK_RESET_ERROR), kDisconnected}},
        {"refuse",
         {"ZEKConfig: Socket connecting ...", error("while connecting", ZEK_REFUSED_ERROR), kDisconnected}}};
    for (const auto& [how, logEnd] : failures) {
        // Wine reports a reset that follows data as an orderly close, as Windows does not.
        if (how == failures[1].first && underWine())
            continue;
        SimFaults faults;
        (how == failures[0].first ? faults.closeAfter : faults.resetAfter) = 5;
        faults.refuse = how == failures[2].first;
        f.fleet().setFaults(0, faults);
        if (!faults.refuse && !f.connectSession())
            QFAIL(how);
        f.dialog().DispatchButton(faults.refuse ? ctl::Connect : ctl::LoggerRead);
        QVERIFY2(f.waitForState(SessionState::Idle), how);
        QCOMPARE(f.logLines().mid(f.logLines().size() - logEnd.size()), logEnd);
        verifyIdle(f);
    }
}

void TestMainWindow::badDuplicateAndSurplusReplies() {
    std::vector<SimModuleConfig> modules;
    for (int i = 0; i < 262; ++i)
        modules.push_back(GuiFixture::module(2 + i, "m"));
    GuiFixture f;
    FleetOptions burst;
    burst.replySpacingMs = 0;
    QVERIFY(f.startFleet(modules, burst));
    f.startApp();
    const auto answered = [&] {
        return QTest::qWaitFor(
            [&] { return f.fleet().queuedReplies() == 0 && f.moduleNodeTexts().size() >= 260; }, 10000);
    };
    QVERIFY(answered());
    // The port the tool searches from, as the fleet sees it.
    QSignalSpy requests(&f.fleet(), &SimFleet::requestReceived);
    f.dialog().DispatchButton(ctl::Search);
    QVERIFY(requests.wait(5000));
    const quint16 port = requests.last().at(2).value<quint16>();
    QVERIFY(answered());

    // Garbage and every module again under another name: the first answers win.
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::AnyIPv4, DEVICE_UDP_PORT,
                      QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    const QByteArray lying = QByteArray::fromHex("0003000000000001ffff") + QByteArray(20, 'x');
    for (const QByteArray& garbage : {QByteArray(), QByteArray(1, '\3'), QByteArray(65507, '\xA5'), lying,
                                      QByteArray::fromHex("0008000000000000ffff41")})
        QCOMPARE(peer.writeDatagram(garbage, kFirstPc, port), qint64(garbage.size()));
    for (SimModuleConfig& module : modules) {
        module.network.setName("again");
        peer.writeDatagram(encodeSearchReply(module.mac, module.serial, module.network), kFirstPc, port);
    }
    // Datagrams are read in order: once this text shows, every one before it was handled.
    f.fleet().module(0).setSoftware("marker L");
    QVERIFY(f.fleet().sendSoftwareInfo(0, kFirstPc, port));
    QTRY_COMPARE_WITH_TIMEOUT(f.text(ctl::SoftwareText), QStringLiteral("marker L"), 5000);
    QCOMPARE(f.moduleNodeTexts().size(), 260);
    QVERIFY(!f.moduleNodeTexts().join(QString()).contains(QStringLiteral("again")));
}

void TestMainWindow::viewRoutingAndLog() {
    GuiFixture f;
    f.startApp();
    ZEKConfig& d = f.dialog();
    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    // The compact view ends above the debug area and hides the extended view's controls.
    QVERIFY(d.isCompactView() && d.height() < d.widget(ctl::DebugGroup)->geometry().top());
    const auto shown = [&] {
        return std::tuple(d.widget(ctl::Reboot)->isVisible(), d.widget(ctl::SetMac)->isVisible(),
                          d.widget(ctl::SetValues)->isVisible(),
                          d.control<QLineEdit>(ctl::kMacEdits[0])->isReadOnly());
    };
    QCOMPARE(shown(), std::tuple(false, false, true, true));
    QTest::keyClick(f.app().frame(), Qt::Key_Escape);
    QTest::keyClick(d.widget(ctl::NameEdit), Qt::Key_Escape);
    QVERIFY(f.app().frame()->isVisible());
    d.ToggleView();
    QCOMPARE(shown(), std::tuple(true, true, true, false));
    QVERIFY(d.height() > d.widget(ctl::LogList)->geometry().bottom());

    // A control without an action logs the line, also when routed by its state alone.
    auto* box = d.control<QCheckBox>(ctl::kFeatureLetters[5].checkBox);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QCOMPARE(f.logLines().last(), QStringLiteral("Error: Unkown Button command"));
    const qsizetype before = f.logLines().size();
    f.click(ctl::AutoRead);
    QCOMPARE(f.logLines().size(), before + 1);
    QVERIFY(!d.control<QCheckBox>(ctl::AutoRead)->isChecked());
    d.DispatchButton(ctl::AutomaticDst);
    QCOMPARE(f.logLines().size(), before + 1);

    for (int i = 0; i < 600; ++i)
        d.AppendLogLine(QStringLiteral("line %1").arg(i));
    const QStringList lines = f.logLines();
    QCOMPARE(lines.size(), 501);
    QCOMPARE(std::pair(lines.first(), lines.last()),
             std::pair(QStringLiteral("line 99"), QStringLiteral("line 599")));
    QTRY_COMPARE(d.control<QListView>(ctl::LogList)->currentIndex().row(), 500);
}

void TestMainWindow::languagesMenuAndTips() {
    QByteArray settings = "[BASIC_SETTINGS]\n";
    for (int n = 1; n <= 40; ++n)
        settings +=
            QByteArray::fromStdString(languageNameKey(n)) + "=" +
            (n < 3 ? QByteArray(n == 1 ? "Deutsch" : "English") : "Language " + QByteArray::number(n)) + "\n";
    settings += "LANGUAGE=english\n";
    // Where the installed language files are, relative to the program (beside it on Windows).
    const QString shared = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                           QStringLiteral("/" ZEK_DATA_DIR_FROM_PROGRAM));
    QVERIFY(QDir().mkpath(shared));
    const auto cleanup = qScopeGuard([&] {
        QFile::remove(shared + QStringLiteral("/LANG03.ini"));
        // Only the folders made for the test go; rmdir leaves any folder that holds files.
        QDir().rmdir(shared);
        QDir().rmdir(QFileInfo(shared).path());
    });
    writeFile(shared + QStringLiteral("/LANG03.ini"), markerLanguage("shared"));
    GuiFixture f;
    GuiFixture::installLanguageFiles();
    writeFile(kSettings, settings);
    writeFile(QStringLiteral("LANG33.ini"), markerLanguage("33"));
    QVERIFY(f.startFleet({GuiFixture::module(5, "boiler")}));
    f.startApp();
    // Set-up applies the language but writes nothing and checks no menu entry yet.
    QCOMPARE(list(f, ctl::LanguageList)->currentIndex(), 1);
    QCOMPARE(f.text(ctl::Search), QStringLiteral("Search"));
    QCOMPARE(f.dialog().widget(ctl::Search)->toolTip(), QStringLiteral("Search the network for modules"));
    QCOMPARE(tooltipCount(f), 75);
    QCOMPARE(action(f.app().menu(2), cmd::FlyOver)->text(), QStringLiteral("&Fly over"));
    QCOMPARE(checkedLanguage(f), -1);
    QCOMPARE(readFile(kSettings), settings);
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());
    // The first tick makes the deferred call: it writes, applies, checks and searches.
    writeFile(QStringLiteral("LANG02.ini"), markerLanguage("Look;Look again"));
    QTRY_COMPARE_WITH_TIMEOUT(f.text(ctl::Search), QStringLiteral("Look"), 5000);
    QCOMPARE(checkedLanguage(f), 1);
    QCOMPARE(readFile(kSettings), settings.left(settings.indexOf("LANGUAGE")) +
                                      "LANGUAGE=English\nETH_INTERFACE=0\nTREE_SORTING=0\n");
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());

    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    QWidget* search = f.dialog().widget(ctl::Search);
    QMenu* help = f.app().menu(2);
    QAction* flyOver = action(help, cmd::FlyOver);
    for (int click = 0; click < 3; ++click) {
        if (click > 0)
            flyOver->trigger();
        emit help->aboutToShow();
        QCOMPARE(flyOver->isChecked(), click != 1);
        QCOMPARE(tipShows(search), click != 1);
    }
    QToolTip::hideText();
    // After a sparse language, a full one applied twice gives the same controls their tips.
    f.dialog().DispatchButton(cmd::LanguageFirst);
    f.dialog().DispatchButton(cmd::LanguageFirst);
    QCOMPARE(tooltipCount(f), 75);
    QCOMPARE(search->toolTip(), QStringLiteral("Module im Netzwerk suchen"));

    // No language can be chosen while a session is not idle.
    QMenu* languages = f.app().menu(1);
    const auto disabled = [&] { return menuStates(languages).filter(QStringLiteral("-")).size(); };
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    QVERIFY(f.waitForModules(1));
    f.tree()->setCurrentItem(f.moduleNode(0));
    f.click(ctl::Connect);
    QCOMPARE(disabled(), 40);
    QVERIFY(f.waitForState(SessionState::Connected));
    QCOMPARE(disabled(), 40);
    f.click(ctl::Connect);
    QCOMPARE(disabled(), 0);
    action(languages, cmd::LanguageFirst + 32)->trigger();
    QCOMPARE(f.text(ctl::Search), QStringLiteral("33"));
    QCOMPARE(saved(), QStringLiteral("2 Language 33 0"));
    QCOMPARE(checkedLanguage(f), 32);
    // A listed language without a file leaves the texts; commands past the list do nothing.
    f.dialog().DispatchButton(cmd::LanguageFirst + 39);
    QCOMPARE(checkedLanguage(f), 39);
    QCOMPARE(f.text(ctl::Search), QStringLiteral("33"));
    QVERIFY(f.logLines().contains(
        QStringLiteral("Language file LANG40.ini not found; the texts stay as they are")));
    f.dialog().DispatchButton(cmd::LanguageFirst + 45);
    QCOMPARE(checkedLanguage(f), 39);
    // Language files are looked up in the start directory first, then in the data directory.
    f.dialog().DispatchButton(cmd::LanguageFirst + 2);
    QCOMPARE(f.text(ctl::Search), QStringLiteral("shared"));
    writeFile(QStringLiteral("LANG03.ini"), markerLanguage("start"));
    f.dialog().DispatchButton(cmd::LanguageFirst + 2);
    QCOMPARE(f.text(ctl::Search), QStringLiteral("start"));
}

void TestMainWindow::everyKeyReachesItsTarget() {
    // Each key's value names the key: "c:KEY;t:KEY".
    QByteArray file;
    std::string_view section;
    for (const LanguageKey& key : languageKeys()) {
        if (key.section != std::exchange(section, key.section))
            file += "[" + QByteArray::fromStdString(std::string(key.section)) + "]\n";
        for (const std::string& name : keyNames(key))
            file += QByteArray::fromStdString(name + "=c:" + name + ";t:" + name + "\n");
    }
    GuiFixture f;
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Only\nLANG02=Few\n");
    writeFile(QStringLiteral("LANG01.ini"), file);
    writeFile(QStringLiteral("LANG02.ini"), "[GROUPBOX_SOCKET_COMMUNICATION]\nTXT_TREE_SORT_3=C\n");
    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(list(f, ctl::kDstStartRow.month)->count(), 0);
    d.DispatchButton(cmd::LanguageFirst);
    const auto both = [](const std::string& name, std::size_t limit) {
        return QStringLiteral("c:%1;t:%1").arg(QString::fromStdString(name)).left(int(limit));
    };
    for (const LanguageKey& key : languageKeys()) {
        const std::string name(key.key);
        const QString tip = QStringLiteral("t:") + QString::fromStdString(name);
        const QString cap = QStringLiteral("c:") + QString::fromStdString(name);
        switch (key.use) {
        case KeyUse::PopupTitle:
            QCOMPARE(f.app().menu(key.control)->title(), both(name, key.limit));
            break;
        case KeyUse::MenuItem:
            QCOMPARE(action(f.app().menu(key.popup), key.control)->text(), both(name, key.limit));
            break;
        case KeyUse::LanguageItems:
            QCOMPARE(menuStates(f.app().menu(1)).size(), 2);
            QCOMPARE(action(f.app().menu(1), cmd::LanguageFirst)->text(), QStringLiteral("Only"));
            break;
        case KeyUse::Caption:
            QCOMPARE(caption(d.widget(key.control)), both(name, key.limit));
            break;
        case KeyUse::Tip:
        case KeyUse::TipAndCaption:
        case KeyUse::TipAndRowCaption:
            for (const int id : key.tips)
                if (id != 0)
                    QCOMPARE(d.widget(id)->toolTip(), tip);
            if (key.use != KeyUse::Tip)
                QCOMPARE(caption(d.widget(key.control)), cap);
            if (key.use == KeyUse::TipAndRowCaption)
                QCOMPARE(d.widget(key.control)->toolTip(), cap);
            break;
        case KeyUse::ListEntries: {
            QStringList expected;
            for (const std::string& entry : keyNames(key))
                expected << both(entry, key.limit);
            for (const int id : key.list->lists)
                for (qsizetype i = 0;
                     id != 0 && i < std::max(expected.size(), qsizetype(list(f, id)->count())); ++i)
                    QCOMPARE(list(f, id)->itemText(int(i)), expected.value(i));
            break;
        }
        case KeyUse::OnlineText:
            QCOMPARE(f.tree()->topLevelItem(0)->text(0), both(name, key.limit) + QStringLiteral(" 0"));
            break;
        case KeyUse::ConnectCaption:
        case KeyUse::StoredText:
        case KeyUse::LeafLabel:
            break;
        }
    }
    // Menu items taken out and appended again keep their order.
    QStringList help;
    for (const QAction* item : f.app().menu(2)->actions())
        help << item->objectName();
    QCOMPARE(help, (QStringList{"5305", "5304", "5303", "5301"}));
    QCOMPARE(f.text(ctl::Connect), both("BUTTON_CONNECT_CONNECT", 99));
    QCOMPARE(tooltipCount(f), 75);
    // Lists without a selection take their defaults, each list of a key its own.
    QCOMPARE(std::pair(list(f, ctl::kDstStartRow.month)->currentIndex(),
                       list(f, ctl::kDstStopRow.month)->currentIndex()),
             std::pair(2, 9));

    // Another language keeps a list's position; a key it lacks gives an empty text.
    choose(list(f, ctl::SortList), 2);
    d.DispatchButton(cmd::LanguageFirst + 1);
    QCOMPARE(list(f, ctl::SortList)->currentText(), QStringLiteral("C"));
    QCOMPARE(f.text(ctl::Search), QString());
    QCOMPARE(d.widget(ctl::Search)->toolTip(), QString());
}

// Settings read at start-up: "<dir>" puts a directory in the file's place, no `lang01` no
// file; `saved` is what the file holds after the user picks 127.0.0.1, empty: not writable.
constexpr char kGarbage[] = "\xFF\xFE\0\0[GROUPBOX_SOCKET_COMMUNICATION]\n\0BUTTON_SEARCH=a\n\x80\x81\x82";
const struct StartupRow {
    const char* name;
    QByteArray settings, lang01;
    int selected;
    QString search, logged, saved;
} kStartupRows[] = {
    {"unreadable", "<dir>", markerLanguage("Go"), -1, "Search",
     "Settings file %PATH% cannot be read; defaults apply", ""},
    {"garbage language file", "[BASIC_SETTINGS]\nLANG01=X\nLANGUAGE=x\n",
     QByteArray(kGarbage, sizeof kGarbage - 1), 0, "", "", "2 X 0"},
};

void TestMainWindow::startupReadsTheFiles_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(kStartupRows)); ++row)
        QTest::newRow(kStartupRows[row].name) << row;
}

void TestMainWindow::startupReadsTheFiles() {
    QFETCH(int, row);
    const auto& [name, settings, lang01, selected, search, logged, saved] = kStartupRows[row];
    GuiFixture f;
    if (settings == "<dir>")
        QVERIFY(QDir::current().mkdir(kSettings));
    else
        writeFile(kSettings, settings);
    if (!lang01.isEmpty())
        writeFile(QStringLiteral("LANG01.ini"), lang01);
    f.startApp();
    QCOMPARE(list(f, ctl::LanguageList)->currentIndex(), selected);
    QCOMPARE(list(f, ctl::PcIpList)->currentIndex(), 0);
    QCOMPARE(f.text(ctl::Search), search);
    const QString path = QDir::current().filePath(kSettings);
    if (!logged.isEmpty())
        QVERIFY2(f.logLines().contains(QString(logged).replace(QStringLiteral("%PATH%"), path)),
                 qPrintable(f.logLines().join(QLatin1Char('\n'))));
    if (selected >= 0)
        QTRY_COMPARE_WITH_TIMEOUT(checkedLanguage(f), selected, 5000);

    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    if (saved.isEmpty())
        QVERIFY(f.logLines().contains(QStringLiteral("Settings file %1 cannot be written").arg(path)));
    else
        QCOMPARE(::saved(), saved);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
