// The device session against simulated modules: connecting and disconnecting with their
// log lines, texts and locks, failures, how received lines are cut, the byte counters,
// the exact bytes every Read and Set button sends, and the enabling of the session
// controls. The reply parser comes later, so the capability flags that a module's
// configuration line would set are set directly where the tests need them.
#include "gui_helpers.h"

#include "core/session/session_flags.h"
#include "gui/scan/device_tree.h"
#include "gui/session/session_connection.h"
#include "gui/session/session_panels.h"
#include "sim/sim_text_protocol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <cstring>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kTimeoutMs = 5000;
const QList<int> kSelectionControls = {5060, 5064, 5150, 5152, 5026, 5192};
const QList<int> kRowButtons = {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108,
                                5109, 5202, 5201, 5135, 5140, 5137, 5139, 5136, 5138};
const QString kIdleCaption = QStringLiteral("Netz 1: 192.0.2.1  nicht verbunden");

SimModuleConfig quietModule(int host = 5) {
    SimModuleConfig m = GuiFixture::module(host, "boiler");
    m.state.startTimeLines = false;
    return m;
}

// The window on 127.0.0.1 with the fleet found and its first module selected.
bool openWindow(GuiFixture& f, const std::vector<SimModuleConfig>& modules) {
    if (!f.startFleet(modules))
        return false;
    f.startApp();
    if (!f.selectInterface(QStringLiteral("127.0.0.1")) || !f.waitForModules(int(modules.size())))
        return false;
    f.tree()->setCurrentItem(f.moduleNode(0));
    // Only the identity is read after connecting; the tests press the rest themselves.
    f.dialog().control<QCheckBox>(5192)->setChecked(false);
    return true;
}

bool waitForState(GuiFixture& f, SessionState state) {
    return QTest::qWaitFor([&] { return f.dialog().sessionState() == state; }, kTimeoutMs);
}

// Log lines before this index belong to the connect and its identity read.
int g_logMark = 0;

// Connects and lets the read of the module's identity that follows every connect run
// to its end, so that a test sees only the traffic it causes itself.
bool connectSession(GuiFixture& f) {
    f.click(5006);
    if (!waitForState(f, SessionState::Connected))
        return false;
    const bool done = QTest::qWaitFor(
        [&] {
            const QStringList lines = f.logLines();
            return lines.contains(QStringLiteral("State: 3")) && lines.last() == QStringLiteral("State: 0");
        },
        kTimeoutMs);
    g_logMark = int(f.logLines().size());
    return done;
}

// Connects to a module whose faults start only after the identity read, so that they
// hit the traffic the test causes.
bool connectWithFaults(GuiFixture& f, SimModuleConfig module) {
    const SimFaults faults = module.faults;
    module.faults = SimFaults{};
    if (!openWindow(f, {module}) || !connectSession(f))
        return false;
    f.fleet().setFaults(0, faults);
    return true;
}

QString stateText(GuiFixture& f) {
    return f.dialog().control<QLabel>(5005)->text();
}

QList<int> enabledOf(GuiFixture& f, const QList<int>& ids) {
    QList<int> enabled;
    for (const int id : ids)
        if (f.dialog().widget(id)->isEnabled())
            enabled << id;
    return enabled;
}

// The log from the last line that starts with `prefix` on.
QStringList logFrom(GuiFixture& f, const QString& prefix) {
    const QStringList lines = f.logLines();
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (lines[i].startsWith(prefix))
            return lines.mid(i);
    return {};
}

QStringList receivedLines(GuiFixture& f) {
    QStringList lines;
    for (const QString& line : f.logLines().mid(g_logMark))
        if (line.startsWith(QStringLiteral("RCV: ")))
            lines << line.mid(5);
    return lines;
}

QByteArray joined(const QSignalSpy& spy, int argument) {
    QByteArray all;
    for (const QList<QVariant>& call : spy)
        all += call.at(argument).toByteArray();
    return all;
}

void fillCombo(ZEKConfig& d, int id, int count) {
    auto* combo = d.control<QComboBox>(id);
    combo->clear();
    for (int i = 0; i < count; ++i)
        combo->addItem(QString::number(i));
}

// What a "modul_config" line with these letters makes of the flags, then the panels it
// re-evaluates.
void takeLetters(ZEKConfig& d, const QString& letters) {
    d.sessionFlags().TrapCapable = letters.contains(QLatin1Char('T'));
    d.sessionFlags().LoggerCapable = letters.contains(QLatin1Char('L'));
    d.sessionPanels().applySnmpPanel();
    d.sessionPanels().applyClockPanel();
    d.sessionPanels().applySessionButtons();
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void connectAndDisconnect();
    void captionsWaitForALanguage();
    void withoutSelectionNothingConnects();
    void refusedConnection();
    void bindFailure();
    void cancelWhileConnecting();
    void peerEndsTheSession_data();
    void peerEndsTheSession();
    void lineEndings_data();
    void lineEndings();
    void partLineIsDroppedOnDisconnect();
    void longLineKeeps298();
    void oddBytesAreLoggedSafely();
    void floodKeepsEveryLineAndCount();
    void byteCountersCountLineEnds();
    void sendWhileIdleFails();
    void everyButtonSendsItsCommand();
    void uncheckedTrapRowSendsZeros();
    void enablingByLetters_data();
    void enablingByLetters();
};

void TestSession::connectAndDisconnect() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    ZEKConfig& d = f.dialog();
    d.texts().set("BUTTON_CONNECT_CONNECT", "Verbinden");
    d.texts().set("BUTTON_CONNECT_CANCEL", "Abbrechen");
    d.texts().set("BUTTON_CONNECT_DISCONNECT", "Trennen");
    QCOMPARE(d.session().socketInterface(), 0x7F000001u);
    QVERIFY(d.widget(5006)->isEnabled());
    QCOMPARE(enabledOf(f, kRowButtons), QList<int>{});
    QSignalSpy simConnected(&f.fleet(), &SimFleet::tcpConnected);
    QSignalSpy simDisconnected(&f.fleet(), &SimFleet::tcpDisconnected);
    d.sessionFlags().LoggerCapable = true;
    d.sessionFlags().TrapCapable = true;

    f.click(5006);
    QCOMPARE(d.sessionState(), SessionState::Connecting);
    QCOMPARE(stateText(f), QStringLiteral("State: connecting..."));
    QCOMPARE(d.control<QPushButton>(5006)->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(f.logLines().last(), QStringLiteral("ZEKConfig: Socket connecting ..."));
    QCOMPARE(enabledOf(f, kSelectionControls), QList<int>{});
    QVERIFY(!d.sessionFlags().LoggerCapable);
    QVERIFY(!d.sessionFlags().TrapCapable);

    QVERIFY(waitForState(f, SessionState::Connected));
    QCOMPARE(stateText(f), QStringLiteral("State: Connected"));
    QCOMPARE(d.control<QPushButton>(5006)->text(), QStringLiteral("Trennen"));
    QCOMPARE(logFrom(f, QStringLiteral("ZEKConfig: Socket connecting")),
             (QStringList{"ZEKConfig: Socket connecting ...", "ZEKConfig: Socket connected"}));
    QCOMPARE(enabledOf(f, kSelectionControls), QList<int>{});
    QVERIFY(d.widget(5006)->isEnabled());
    QVERIFY(!d.widget(5033)->isEnabled());
    QCOMPARE(enabledOf(f, kRowButtons), kRowButtons);
    // Without the module's letters the group buttons and panels stay off.
    QCOMPARE(enabledOf(f, {5199, 5195, 5196, 5197, 5198, 5200, 5170, 5160}), QList<int>{});
    for (const int id : {5173, 5175, 5177, 5176})
        QCOMPARE(d.control<QLineEdit>(id)->text(), QStringLiteral("?"));
    QCOMPARE(d.control<QLabel>(5078)->text(), QStringLiteral("?"));
    bool enabled = true;
    bool checked = false;
    d.EvCommandEnable(5310, enabled, checked);
    QVERIFY(!enabled);
    QTRY_COMPARE_WITH_TIMEOUT(simConnected.size(), 1, kTimeoutMs);
    QCOMPARE(f.fleet().tcpSessionCount(0), 1);

    f.click(5006);
    QCOMPARE(d.sessionState(), SessionState::Idle);
    QCOMPARE(stateText(f), QStringLiteral("State: Idle"));
    QCOMPARE(d.control<QPushButton>(5006)->text(), QStringLiteral("Verbinden"));
    QCOMPARE(f.logLines().last(), QStringLiteral("ZEKConfig: Socket disconnected"));
    QCOMPARE(d.windowTitle(), kIdleCaption);
    QCOMPARE(enabledOf(f, kSelectionControls), kSelectionControls);
    QCOMPARE(enabledOf(f, kRowButtons), QList<int>{});
    QVERIFY(d.widget(5033)->isEnabled());
    d.EvCommandEnable(5310, enabled, checked);
    QVERIFY(enabled);
    QTRY_COMPARE_WITH_TIMEOUT(simDisconnected.size(), 1, kTimeoutMs);

    // The same module again: a closed session leaves nothing in the way of the next one.
    QVERIFY(connectSession(f));
    QTRY_COMPARE_WITH_TIMEOUT(simConnected.size(), 2, kTimeoutMs);
}

void TestSession::captionsWaitForALanguage() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    auto* button = f.dialog().control<QPushButton>(5006);
    QCOMPARE(button->text(), QStringLiteral("Connect"));
    QVERIFY(connectSession(f));
    QCOMPARE(button->text(), QStringLiteral("Connect"));
    f.dialog().texts().set("BUTTON_CONNECT_DISCONNECT", "Disconnect");
    f.dialog().session().updateButtonLabel();
    QCOMPARE(button->text(), QStringLiteral("Disconnect"));
}

void TestSession::withoutSelectionNothingConnects() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    f.tree()->setCurrentItem(f.tree()->topLevelItem(0));
    QVERIFY(!f.dialog().widget(5006)->isEnabled());
    // Selecting the top node keeps the last module selected in the table; a new search
    // empties it, as the program's own press might find it.
    f.dialog().DispatchButton(5064);
    QCOMPARE(f.dialog().deviceTree().table().selectedIndex(), -1);
    f.dialog().DispatchButton(5006);
    QCOMPARE(f.dialog().sessionState(), SessionState::Idle);
    QCOMPARE(f.logLines().last(), QStringLiteral("ZEKConfig: No module selected, nothing to connect to"));
    QVERIFY(logFrom(f, QStringLiteral("ZEKConfig: Socket connecting")).isEmpty());
    QCOMPARE(stateText(f), QStringLiteral("State: Idle"));
}

void TestSession::refusedConnection() {
    SimModuleConfig module = quietModule();
    module.faults.refuse = true;
    GuiFixture f;
    QVERIFY(openWindow(f, {module}));
    f.click(5006);
    QVERIFY(waitForState(f, SessionState::Idle));
    QCOMPARE(logFrom(f, QStringLiteral("ZEKConfig: Socket connecting")),
             (QStringList{"ZEKConfig: Socket connecting ...",
                          "ZEKConfig: TCP/IP Error while connecting (Winsock:  111)",
                          "ZEKConfig: Socket disconnected"}));
    QCOMPARE(stateText(f), QStringLiteral("State: Idle"));
    QCOMPARE(f.dialog().windowTitle(), kIdleCaption);
    QCOMPARE(enabledOf(f, kSelectionControls), kSelectionControls);
}

void TestSession::bindFailure() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    // An interface address that the host does not have (it went away after being listed).
    f.dialog().session().createSocket(0xCB007105); // 203.0.113.5
    f.click(5006);
    QCOMPARE(f.dialog().sessionState(), SessionState::Idle);
    QCOMPARE(logFrom(f, QStringLiteral("ZEKConfig: Socket connecting")),
             (QStringList{"ZEKConfig: Socket connecting ...",
                          "ZEKConfig: TCP/IP Error on socket Bind (Winsock:   99)",
                          "ZEKConfig: Socket disconnected"}));
}

void TestSession::cancelWhileConnecting() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    QSignalSpy simDisconnected(&f.fleet(), &SimFleet::tcpDisconnected);
    QSignalSpy entered(&f.dialog().session(), &SessionConnection::stateEntered);
    // Both presses before the loop can report the connect's completion.
    f.click(5006);
    QCOMPARE(f.dialog().sessionState(), SessionState::Connecting);
    f.click(5006);
    QCOMPARE(f.dialog().sessionState(), SessionState::Idle);
    QCOMPARE(logFrom(f, QStringLiteral("ZEKConfig: Socket connecting")),
             (QStringList{"ZEKConfig: Socket connecting ...", "ZEKConfig: Socket disconnected"}));
    // The module saw the abandoned connection end; the tool never heard of its completion.
    QTRY_COMPARE_WITH_TIMEOUT(simDisconnected.size(), 1, kTimeoutMs);
    QCOMPARE(f.dialog().sessionState(), SessionState::Idle);
    QCOMPARE(entered.size(), 3); // LookingUp, Connecting, Idle
    QCOMPARE(enabledOf(f, kSelectionControls), kSelectionControls);
}

void TestSession::peerEndsTheSession_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("errorLine");
    QTest::newRow("close") << "close"
                           << "";
    QTest::newRow("half-close") << "half-close"
                                << "";
    QTest::newRow("reset") << "reset"
                           << "ZEKConfig: TCP/IP Error closing socket (Winsock:  104)";
}

void TestSession::peerEndsTheSession() {
    QFETCH(QString, how);
    QFETCH(QString, errorLine);
    SimModuleConfig module = quietModule();
    (how == "close"   ? module.faults.closeAfter
     : how == "reset" ? module.faults.resetAfter
                      : module.faults.halfCloseAfter) = 5; // after the identity's four queries
    GuiFixture f;
    QVERIFY(openWindow(f, {module}));
    QVERIFY(connectSession(f));
    f.click(5090);
    QVERIFY(waitForState(f, SessionState::Idle));
    QStringList expected = {"ZEKConfig: Socket disconnected"};
    if (!errorLine.isEmpty())
        expected.prepend(errorLine);
    QCOMPARE(f.logLines().mid(f.logLines().size() - expected.size()), expected);
    if (how != "reset") // a reset may throw away the answer that was on its way
        QCOMPARE(receivedLines(f).size(), 1);
    QCOMPARE(f.dialog().windowTitle(), kIdleCaption);
    QCOMPARE(enabledOf(f, kSelectionControls), kSelectionControls);
    QCOMPARE(enabledOf(f, kRowButtons), QList<int>{});
}

void TestSession::lineEndings_data() {
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<bool>("split");
    QTest::addColumn<bool>("merge");
    QTest::newRow("CR, one write per line") << false << false << false;
    QTest::newRow("CR LF") << true << false << false;
    QTest::newRow("split writes") << false << true << false;
    QTest::newRow("CR LF split") << true << true << false;
    QTest::newRow("merged in one write") << false << false << true;
    QTest::newRow("CR LF merged and split") << true << true << true;
}

void TestSession::lineEndings() {
    QFETCH(bool, crlf);
    QFETCH(bool, split);
    QFETCH(bool, merge);
    SimModuleConfig module = quietModule();
    module.faults.crlf = crlf;
    module.faults.split = split;
    module.faults.merge = merge;
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    QSignalSpy lines(&f.dialog().session(), &SessionConnection::lineReceived);
    QSignalSpy sent(&f.fleet(), &SimFleet::tcpBytesSent);

    QCOMPARE(f.dialog().session().SendText("?STARTMSG\r"), 0);
    const QList<QByteArray> expected = simStartMessage(module.state, QDateTime::currentDateTimeUtc());
    QCOMPARE(expected.size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 2, kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(joined(sent, 1).size(), (expected[0] + expected[1]).size() + (crlf ? 4 : 2),
                              kTimeoutMs);
    QCOMPARE(lines[0][0].toByteArray(), expected[0]);
    QCOMPARE(lines[1][0].toByteArray(), expected[1]);
    QCOMPARE(receivedLines(f),
             (QStringList{QString::fromLatin1(expected[0]), QString::fromLatin1(expected[1])}));
    QCOMPARE(f.dialog().session().pendingLineLength(), 0u);
}

void TestSession::partLineIsDroppedOnDisconnect() {
    SimModuleConfig module = quietModule();
    module.faults.noLineEnd = true;
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    QSignalSpy sent(&f.fleet(), &SimFleet::tcpBytesSent);
    f.click(5202);
    QTRY_VERIFY_WITH_TIMEOUT(!sent.isEmpty(), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(f.dialog().session().pendingLineLength(), std::size_t(joined(sent, 1).size()),
                              kTimeoutMs);
    QVERIFY(receivedLines(f).isEmpty());
    f.click(5006);
    QCOMPARE(f.dialog().session().pendingLineLength(), 0u);
    // The next session's first line starts clean, without the dropped part in front.
    f.fleet().setFaults(0, SimFaults{});
    QVERIFY(connectSession(f));
    const QStringList next = logFrom(f, QStringLiteral("ZEKConfig: Socket connected")).filter(QStringLiteral("RCV: "));
    QVERIFY(!next.isEmpty());
    QVERIFY2(next.front().startsWith(QStringLiteral("RCV: modul_typ")), qPrintable(next.front()));
}

void TestSession::longLineKeeps298() {
    SimModuleConfig module = quietModule();
    module.faults.longLine = 400;
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    QSignalSpy lines(&f.dialog().session(), &SessionConnection::lineReceived);
    QSignalSpy sent(&f.fleet(), &SimFleet::tcpBytesSent);
    f.click(5090);
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 2, kTimeoutMs);
    const QByteArray all = joined(sent, 1);
    const qsizetype at = all.indexOf("long ");
    QVERIFY(at > 0);
    QCOMPARE(all.indexOf('\r', at) - at, 400);
    QCOMPARE(lines[1][0].toByteArray(), all.mid(at, 298));
    QCOMPARE(receivedLines(f).last(), QString::fromLatin1(all.mid(at, 298)));
    // The next line is whole again.
    f.click(5140);
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 4, kTimeoutMs);
    QVERIFY(lines[2][0].toByteArray().startsWith("!DST_USE"));
}

void TestSession::oddBytesAreLoggedSafely() {
    SimModuleConfig module = quietModule();
    module.faults.customReplies.insert("SNMP_LOC", {QByteArray("!SNMP_LOC K\xFC"
                                                               "che"),
                                                    QByteArray("a\0b", 3), QByteArray("\x01\x7F\xFF")});
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    QSignalSpy lines(&f.dialog().session(), &SessionConnection::lineReceived);
    f.click(5202);
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 3, kTimeoutMs);
    QCOMPARE(lines[0][0].toByteArray(), QByteArray("!SNMP_LOC K\xFC"
                                                   "che"));
    QCOMPARE(lines[1][0].toByteArray(), QByteArray("a"));
    QCOMPARE(receivedLines(f), (QStringList{QStringLiteral("!SNMP_LOC K\u00FCche"), QStringLiteral("a"),
                                            QString::fromLatin1("\x01\x7F\xFF")}));
    QCOMPARE(f.dialog().sessionState(), SessionState::Connected);
}

void TestSession::floodKeepsEveryLineAndCount() {
    SimModuleConfig module = quietModule();
    module.faults.flood = 3000;
    module.faults.merge = true;
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    QSignalSpy lines(&f.dialog().session(), &SessionConnection::lineReceived);
    QSignalSpy sent(&f.fleet(), &SimFleet::tcpBytesSent);
    const std::uint32_t before = f.dialog().session().BytesReceived();
    f.click(5090);
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 3001, 20000);
    QCOMPARE(lines.last()[0].toByteArray(), QByteArray("flood 3000"));
    QCOMPARE(f.logLines().last(), QStringLiteral("RCV: flood 3000"));
    QCOMPARE(f.dialog().session().BytesReceived() - before, std::uint32_t(joined(sent, 1).size()));
    QCOMPARE(f.dialog().sessionState(), SessionState::Connected);
}

void TestSession::byteCountersCountLineEnds() {
    SimModuleConfig module = quietModule();
    module.faults.crlf = true;
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    SessionConnection& session = f.dialog().session();
    QSignalSpy sent(&f.fleet(), &SimFleet::tcpBytesSent);
    QSignalSpy lines(&session, &SessionConnection::lineReceived);
    const std::uint32_t sentBefore = session.BytesSent();
    const std::uint32_t receivedBefore = session.BytesReceived();
    f.click(5090);
    f.click(5202);
    QCOMPARE(session.BytesSent() - sentBefore, std::uint32_t(std::strlen("?LOG_ON\r?SNMP_LOC\r")));
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 2, kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(session.BytesReceived() - receivedBefore, std::uint32_t(joined(sent, 1).size()),
                              kTimeoutMs);
    QCOMPARE(joined(sent, 1).count("\r\n"), 2);
}

void TestSession::sendWhileIdleFails() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    const std::uint32_t before = f.dialog().session().BytesSent();
    QCOMPARE(f.dialog().session().SendText("?LOG_ON\r"), -1);
    QCOMPARE(f.logLines().last(), QStringLiteral("ZEKConfig: TCP/IP Error writing data (Winsock:    9)"));
    QCOMPARE(f.dialog().session().BytesSent(), before);
}

void TestSession::everyButtonSendsItsCommand() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    QVERIFY(connectSession(f));
    ZEKConfig& d = f.dialog();
    takeLetters(d, QStringLiteral("TL"));
    // The rule lists are filled by the language file.
    fillCombo(d, 5133, 5);
    fillCombo(d, 5134, 5);
    fillCombo(d, 5127, 7);
    fillCombo(d, 5128, 7);
    fillCombo(d, 5130, 12);
    fillCombo(d, 5129, 12);
    QSignalSpy raw(&f.fleet(), &SimFleet::tcpBytesReceived);
    QSignalSpy lines(&f.fleet(), &SimFleet::tcpLineReceived);

    struct Row {
        int id;
        std::function<void()> prepare;
        QByteArray text;
        ReplyKey clears;
    };
    auto check = [&](int id, bool on) {
        auto* box = d.control<QCheckBox>(id);
        if (box->isChecked() != on)
            f.click(id);
        QCOMPARE(box->isChecked(), on);
    };
    auto select = [&](std::initializer_list<std::pair<int, int>> indices) {
        for (const auto& [id, index] : indices)
            d.control<QComboBox>(id)->setCurrentIndex(index);
    };
    auto type = [&](int id, const QString& text) {
        auto* edit = d.control<QLineEdit>(id);
        edit->clear();
        QTest::keyClicks(edit, text);
    };
    const Row rows[] = {
        {5090, {}, "?LOG_ON\r", ReplyKey::LogOn},
        {5089,
         [&] {
             d.control<QLineEdit>(5179)->setText("12:00:00");
             d.control<QLineEdit>(5182)->setText("13:00:00");
         },
         "?TIME_UTC\r", ReplyKey::TimeLocal},
        {5140, {}, "?DST_USE\r", ReplyKey::DstUse},
        {5139, {}, "?DST_START\r", ReplyKey::DstStart},
        {5138, {}, "?DST_STOP\r", ReplyKey::DstStop},
        {5086, {}, "?TRAP_IP1\r", ReplyKey::TrapIp1},
        {5088, {}, "?TRAP_IP2\r", ReplyKey::TrapIp2},
        {5087, {}, "?TRAP_IP3\r", ReplyKey::TrapIp3},
        {5202, {}, "?SNMP_LOC\r", ReplyKey::SnmpLoc},
        {5106,
         [&] {
             check(5199, false);
             select({{5103, 4}});
         },
         "!LOG_ON 0\r", ReplyKey::LogOn},
        {5106, [&] { check(5199, true); }, "!LOG_ON 5\r", ReplyKey::LogOn},
        {5135, [&] { d.control<QCheckBox>(5124)->setChecked(true); }, "!DST_USE 1\r", ReplyKey::DstUse},
        {5135, [&] { d.control<QCheckBox>(5124)->setChecked(false); }, "!DST_USE 0\r", ReplyKey::DstUse},
        {5137,
         [&] {
             select({{5133, 4}, {5127, 6}, {5130, 2}, {5131, 2}});
         },
         "!DST_START 4 0 3 2\r", ReplyKey::DstStart},
        {5136,
         [&] {
             select({{5134, 0}, {5128, 0}, {5129, 9}, {5132, 23}});
         },
         "!DST_STOP 0 1 10 23\r", ReplyKey::DstStop},
        {5107,
         [&] {
             check(5170, true);
             for (const int id : {5101, 5100, 5099, 5098})
                 type(id, "10");
         },
         "!TRAP_IP1 10.10.10.10\r", ReplyKey::TrapIp1},
        {5108,
         [&] {
             check(5171, true);
             type(5097, "192");
             type(5096, "168");
             type(5095, "1");
             type(5094, "7");
         },
         "!TRAP_IP2 192.168.1.7\r", ReplyKey::TrapIp2},
        {5109,
         [&] {
             check(5172, true);
             type(5191, "255");
             type(5093, "");
             type(5092, "0");
             type(5091, "300"); // refused by the edit's range: it keeps "30"
         },
         "!TRAP_IP3 255..0.30\r", ReplyKey::TrapIp3},
        {5201, [&] { type(5200, "Boiler room 2"); }, "!SNMP_LOC Boiler room 2\r", ReplyKey::SnmpLoc},
    };
    for (const Row& row : rows) {
        const QByteArray name = QByteArray::number(row.id) + " " + row.text.trimmed();
        if (row.prepare)
            row.prepare();
        QVERIFY2(d.widget(row.id)->isEnabled(), name);
        d.sessionFlags().ReplySeen.fill(true);
        raw.clear();
        lines.clear();
        f.click(row.id);
        for (std::size_t key = 0; key < kReplyKeyCount; ++key)
            QVERIFY2(d.sessionFlags().seen(ReplyKey(key)) == (ReplyKey(key) != row.clears), name);
        QCOMPARE(f.logLines().last(), QStringLiteral("SND: ") + QString::fromLatin1(row.text));
        QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 1, kTimeoutMs);
        QCOMPARE(joined(raw, 1), row.text);
        QCOMPARE(lines[0][1].toByteArray() + "\r", row.text);
    }
    QCOMPARE(d.control<QLineEdit>(5179)->text(), QStringLiteral("?"));
    QCOMPARE(d.control<QLineEdit>(5182)->text(), QStringLiteral("?"));
}

void TestSession::uncheckedTrapRowSendsZeros() {
    GuiFixture f;
    QVERIFY(openWindow(f, {quietModule()}));
    QVERIFY(connectSession(f));
    ZEKConfig& d = f.dialog();
    const QList<int> edits = {5101, 5100, 5099, 5098};
    d.control<QCheckBox>(5170)->setChecked(true);
    for (const int id : edits)
        d.control<QLineEdit>(id)->setText(QStringLiteral("42"));
    takeLetters(d, QStringLiteral("T"));
    QCOMPARE(enabledOf(f, edits), edits);
    QSignalSpy raw(&f.fleet(), &SimFleet::tcpBytesReceived);

    f.click(5170);
    QVERIFY(!d.control<QCheckBox>(5170)->isChecked());
    QCOMPARE(enabledOf(f, edits), QList<int>{});
    for (const int id : edits)
        QCOMPARE(d.control<QLineEdit>(id)->text(), QStringLiteral("0"));
    f.click(5107);
    QTRY_COMPARE_WITH_TIMEOUT(joined(raw, 1), QByteArray("!TRAP_IP1 0.0.0.0\r"), kTimeoutMs);

    // After the session the row is off but keeps what it showed.
    d.control<QCheckBox>(5171)->setChecked(true);
    d.control<QLineEdit>(5097)->setText(QStringLiteral("9"));
    f.click(5006);
    QCOMPARE(d.control<QLineEdit>(5097)->text(), QStringLiteral("9"));
    QCOMPARE(enabledOf(f, {5170, 5171, 5172, 5097}), QList<int>{});
}

void TestSession::enablingByLetters_data() {
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QList<int>>("enabled");
    const QList<int> clock = {5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216, 5215, 5120, 5118};
    const QList<int> snmp = {5197, 5198, 5200, 5203, 5178, 5170, 5171, 5172};
    QTest::newRow("TL") << "TLSD" << QList<int>{5199, 5196, 5195} + clock + snmp;
    QTest::newRow("L") << "LH" << QList<int>{5199, 5196, 5195} + clock;
    QTest::newRow("T") << "TX" << snmp;
    QTest::newRow("none") << "SHXD" << QList<int>{};
}

void TestSession::enablingByLetters() {
    QFETCH(QString, letters);
    QFETCH(QList<int>, enabled);
    const QList<int> watched = {5199, 5196, 5195, 5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216,
                                5215, 5120, 5118, 5197, 5198, 5200, 5203, 5178, 5170, 5171, 5172};
    SimModuleConfig module = quietModule();
    module.state.letters = letters.toLatin1();
    GuiFixture f;
    QVERIFY(openWindow(f, {module}));
    ZEKConfig& d = f.dialog();
    d.control<QCheckBox>(5199)->setChecked(true); // the logger as a module reports it active
    QCOMPARE(enabledOf(f, watched), QList<int>{});
    // The module's "modul_config" line in its start message sets the capability flags.
    QVERIFY(connectSession(f));
    QCOMPARE(enabledOf(f, watched), enabled);
    QCOMPARE(enabledOf(f, kRowButtons), kRowButtons);
    // Manual time and the rule rows follow their check boxes.
    const QList<int> manual = {5156, 5159, 5214};
    const QList<int> rules = {5133, 5127, 5130, 5131, 5134, 5128, 5129, 5132, 5125, 5126, 5141, 5142};
    const bool logger = letters.contains(QLatin1Char('L'));
    QCOMPARE(enabledOf(f, manual), QList<int>{});
    if (logger) {
        f.click(5160);
        QCOMPARE(enabledOf(f, manual), manual);
        d.control<QCheckBox>(5124)->setChecked(true);
        d.DispatchButton(5124);
        QCOMPARE(enabledOf(f, rules), rules);
        f.click(5199); // the logger switched off keeps only the rule texts
        QCOMPARE(enabledOf(f, rules + manual), (QList<int>{5125, 5126, 5141, 5142}));
    }

    f.click(5006);
    QCOMPARE(enabledOf(f, watched + kRowButtons + manual + rules), QList<int>{});
}

QTEST_MAIN(TestSession)
#include "test_session.moc"
