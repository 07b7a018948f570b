// The device session against simulated modules: connecting and disconnecting with their
// log lines, texts and locks, failures, how received lines are cut, the byte counters,
// the exact bytes every Read and Set button sends, and the enabling of the session
// controls. The capability flags a module's configuration line would set are set
// directly where a test needs them.
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

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kTimeoutMs = 5000;
const QList<int> kSelectionControls = {5060, 5064, 5150, 5152, 5026, 5192};
const QList<int> kRowButtons = {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108,
                                5109, 5202, 5201, 5135, 5140, 5137, 5139, 5136, 5138};
const QString kIdleCaption = QStringLiteral("Netz 1: 192.0.2.1  nicht verbunden");
const QString kConnecting = QStringLiteral("ZEKConfig: Socket connecting ...");
const QString kDisconnected = QStringLiteral("ZEKConfig: Socket disconnected");

SimModuleConfig quietModule() {
    SimModuleConfig m = GuiFixture::module(5, "boiler");
    m.state.startTimeLines = false;
    return m;
}

// The window on 127.0.0.1 with the fleet found and its first module selected.
bool openWindow(GuiFixture& f, const SimModuleConfig& module = quietModule()) {
    if (!f.startFleet({module}))
        return false;
    f.startApp();
    if (!f.selectInterface(QStringLiteral("127.0.0.1")) || !f.waitForModules(1))
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

// Connects and lets the identity read that follows every connect run to its end, so
// that a test sees only the traffic it causes itself.
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

// Faults start only after the identity read, so that they hit the test's own traffic.
bool connectWithFaults(GuiFixture& f, SimModuleConfig module) {
    const SimFaults faults = module.faults;
    module.faults = SimFaults{};
    if (!openWindow(f, module) || !connectSession(f))
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

QStringList receivedLines(GuiFixture& f, int from = g_logMark) {
    QStringList lines;
    for (const QString& line : f.logLines().mid(from))
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

// What a "modul_config" line with these letters makes of the flags and the panels.
void takeLetters(ZEKConfig& d, const QString& letters) {
    d.sessionFlags().TrapCapable = letters.contains(QLatin1Char('T'));
    d.sessionFlags().LoggerCapable = letters.contains(QLatin1Char('L'));
    d.sessionPanels().applySnmpPanel();
    d.sessionPanels().applyClockPanel();
    d.sessionPanels().applySessionButtons();
}

// Sets controls as the user would, from "id=value;...": a check box is clicked until it
// shows the value (1 or 0), a list takes the index, an edit is typed into.
void enter(GuiFixture& f, const QString& inputs) {
    for (const QString& input : inputs.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int id = input.section(QLatin1Char('='), 0, 0).toInt();
        const QString value = input.section(QLatin1Char('='), 1);
        QWidget* w = f.dialog().widget(id);
        if (auto* box = qobject_cast<QCheckBox*>(w); box && box->isChecked() != (value == QLatin1String("1")))
            f.click(id);
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            combo->setCurrentIndex(value.toInt());
        else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->clear();
            QTest::keyClicks(edit, value);
        }
    }
}

// The lines a session must make of these bytes: cut at CR, LF dropped, a NUL ends the
// line, at most 298 characters kept; a part after the last CR is no line yet.
QList<QByteArray> expectedLines(const QByteArray& wire) {
    QList<QByteArray> lines = QByteArray(wire).replace('\n', QByteArray()).split('\r');
    lines.removeLast();
    for (QByteArray& line : lines)
        line = line.left(line.indexOf('\0') < 0 ? 298 : std::min<qsizetype>(line.indexOf('\0'), 298));
    return lines;
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void connectAndDisconnect();
    void idleRefusesToConnectOrSend();
    void connectEndsEarly_data();
    void connectEndsEarly();
    void peerEndsTheSession_data();
    void peerEndsTheSession();
    void linesAreCutAndCounted_data();
    void linesAreCutAndCounted();
    void partLineIsDroppedOnDisconnect();
    void everyButtonSendsItsCommand();
    void uncheckedTrapRowSendsZeros();
    void enablingByLetters_data();
    void enablingByLetters();
};

void TestSession::connectAndDisconnect() {
    GuiFixture f;
    QVERIFY(openWindow(f));
    ZEKConfig& d = f.dialog();
    auto* button = d.control<QPushButton>(5006);
    // Captions wait for a language; until then the button keeps its first text.
    QCOMPARE(button->text(), QStringLiteral("Connect"));
    d.texts().set("BUTTON_CONNECT_CONNECT", "Verbinden");
    d.texts().set("BUTTON_CONNECT_CANCEL", "Abbrechen");
    d.texts().set("BUTTON_CONNECT_DISCONNECT", "Trennen");
    QCOMPARE(d.session().socketInterface(), 0x7F000001u);
    QCOMPARE(enabledOf(f, kRowButtons), QList<int>{});
    QSignalSpy simConnected(&f.fleet(), &SimFleet::tcpConnected);
    QSignalSpy simDisconnected(&f.fleet(), &SimFleet::tcpDisconnected);
    d.sessionFlags().LoggerCapable = true;
    d.sessionFlags().TrapCapable = true;

    f.click(5006);
    QCOMPARE(d.sessionState(), SessionState::Connecting);
    QCOMPARE(stateText(f), QStringLiteral("State: connecting..."));
    QCOMPARE(button->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(f.logLines().last(), kConnecting);
    QCOMPARE(enabledOf(f, kSelectionControls), QList<int>{});
    QVERIFY(!d.sessionFlags().LoggerCapable && !d.sessionFlags().TrapCapable);

    QVERIFY(waitForState(f, SessionState::Connected));
    QCOMPARE(stateText(f), QStringLiteral("State: Connected"));
    QCOMPARE(button->text(), QStringLiteral("Trennen"));
    QCOMPARE(logFrom(f, kConnecting), (QStringList{kConnecting, "ZEKConfig: Socket connected"}));
    QCOMPARE(enabledOf(f, kSelectionControls + QList<int>{5033, 5006}), QList<int>{5006});
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

    f.click(5006);
    QCOMPARE(d.sessionState(), SessionState::Idle);
    QCOMPARE(stateText(f), QStringLiteral("State: Idle"));
    QCOMPARE(button->text(), QStringLiteral("Verbinden"));
    QCOMPARE(f.logLines().last(), kDisconnected);
    QCOMPARE(d.windowTitle(), kIdleCaption);
    QCOMPARE(enabledOf(f, kSelectionControls + QList<int>{5033}), kSelectionControls + QList<int>{5033});
    QCOMPARE(enabledOf(f, kRowButtons), QList<int>{});
    d.EvCommandEnable(5310, enabled, checked);
    QVERIFY(enabled);
    QTRY_COMPARE_WITH_TIMEOUT(simDisconnected.size(), 1, kTimeoutMs);

    // A closed session leaves nothing in the way of the next one.
    QVERIFY(connectSession(f));
    QTRY_COMPARE_WITH_TIMEOUT(simConnected.size(), 2, kTimeoutMs);
}

void TestSession::idleRefusesToConnectOrSend() {
    GuiFixture f;
    QVERIFY(openWindow(f));
    SessionConnection& session = f.dialog().session();
    const std::uint32_t before = session.BytesSent();
    QCOMPARE(session.SendText("?LOG_ON\r"), -1);
    QCOMPARE(f.logLines().last(), QStringLiteral("ZEKConfig: TCP/IP Error writing data (Winsock:    9)"));
    QCOMPARE(session.BytesSent(), before);

    f.tree()->setCurrentItem(f.tree()->topLevelItem(0));
    QVERIFY(!f.dialog().widget(5006)->isEnabled());
    // The top node keeps the last module selected in the table; a new search empties it,
    // and a program press then must not hang.
    f.dialog().DispatchButton(5064);
    QCOMPARE(f.dialog().deviceTree().table().selectedIndex(), -1);
    f.dialog().DispatchButton(5006);
    QCOMPARE(f.dialog().sessionState(), SessionState::Idle);
    QCOMPARE(f.logLines().last(), QStringLiteral("ZEKConfig: No module selected, nothing to connect to"));
    QVERIFY(logFrom(f, kConnecting).isEmpty());
}

void TestSession::connectEndsEarly_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("refused") << "refuse"
                             << QStringList{kConnecting,
                                            "ZEKConfig: TCP/IP Error while connecting (Winsock:  111)",
                                            kDisconnected};
    // An interface address the host does not have (it went away after being listed).
    QTest::newRow("bind") << "bind"
                          << QStringList{kConnecting,
                                         "ZEKConfig: TCP/IP Error on socket Bind (Winsock:   99)",
                                         kDisconnected};
    // Both presses come before the loop can report the connect's completion.
    QTest::newRow("cancel") << "cancel" << QStringList{kConnecting, kDisconnected};
}

void TestSession::connectEndsEarly() {
    QFETCH(QString, how);
    QFETCH(QStringList, log);
    SimModuleConfig module = quietModule();
    module.faults.refuse = how == "refuse";
    GuiFixture f;
    QVERIFY(openWindow(f, module));
    QSignalSpy simDisconnected(&f.fleet(), &SimFleet::tcpDisconnected);
    QSignalSpy entered(&f.dialog().session(), &SessionConnection::stateEntered);
    if (how == "bind")
        f.dialog().session().createSocket(0xCB007105); // 203.0.113.5
    f.click(5006);
    if (how == "cancel") {
        QCOMPARE(f.dialog().sessionState(), SessionState::Connecting);
        f.click(5006);
        QCOMPARE(f.dialog().sessionState(), SessionState::Idle);
        // The module saw the abandoned connection end; the tool never heard of its completion.
        QTRY_COMPARE_WITH_TIMEOUT(simDisconnected.size(), 1, kTimeoutMs);
        QCOMPARE(entered.size(), 3); // LookingUp, Connecting, Idle
    }
    QVERIFY(waitForState(f, SessionState::Idle));
    QCOMPARE(logFrom(f, kConnecting), log);
    QCOMPARE(stateText(f), QStringLiteral("State: Idle"));
    QCOMPARE(f.dialog().windowTitle(), kIdleCaption);
    QCOMPARE(enabledOf(f, kSelectionControls), kSelectionControls);
}

void TestSession::peerEndsTheSession_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("errorLine");
    QTest::newRow("close") << "close" << QString();
    QTest::newRow("half-close") << "half-close" << QString();
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
    QVERIFY(openWindow(f, module));
    QVERIFY(connectSession(f));
    f.click(5090);
    QVERIFY(waitForState(f, SessionState::Idle));
    QStringList expected = {kDisconnected};
    if (!errorLine.isEmpty())
        expected.prepend(errorLine);
    QCOMPARE(f.logLines().mid(f.logLines().size() - expected.size()), expected);
    if (how != "reset") // a reset may throw away the answer that was on its way
        QCOMPARE(receivedLines(f).size(), 1);
    QCOMPARE(f.dialog().windowTitle(), kIdleCaption);
    QCOMPARE(enabledOf(f, kSelectionControls), kSelectionControls);
    QCOMPARE(enabledOf(f, kRowButtons), QList<int>{});
}

void TestSession::linesAreCutAndCounted_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("CR, one write per line") << "" << QByteArray("?STARTMSG\r") << 2;
    QTest::newRow("CR LF") << "crlf" << QByteArray("?STARTMSG\r") << 2;
    QTest::newRow("split writes") << "split" << QByteArray("?STARTMSG\r") << 2;
    QTest::newRow("CR LF split") << "crlf split" << QByteArray("?STARTMSG\r") << 2;
    QTest::newRow("merged in one write") << "merge" << QByteArray("?STARTMSG\r") << 2;
    QTest::newRow("CR LF merged and split") << "crlf merge split" << QByteArray("?STARTMSG\r") << 2;
    // Each reply followed by a 400-character line; the second reply must come whole.
    QTest::newRow("400 characters") << "long" << QByteArray("?LOG_ON\r?DST_USE\r") << 4;
    QTest::newRow("NUL and non-ASCII bytes") << "odd" << QByteArray("?SNMP_LOC\r?LOG_ON\r") << 4;
    QTest::newRow("flood of merged lines") << "flood merge" << QByteArray("?LOG_ON\r") << 3001;
}

// Every line reaches the session and the log as sent, cut by the session's rules, and the
// byte counters include the line ends.
void TestSession::linesAreCutAndCounted() {
    QFETCH(QString, fault);
    QFETCH(QByteArray, command);
    QFETCH(int, lineCount);
    SimModuleConfig module = quietModule();
    module.faults.crlf = fault.contains("crlf");
    module.faults.split = fault.contains("split");
    module.faults.merge = fault.contains("merge");
    module.faults.longLine = fault == "long" ? 400 : 0;
    module.faults.flood = fault.contains("flood") ? 3000 : 0;
    if (fault == "odd")
        module.faults.customReplies.insert("SNMP_LOC", {QByteArray("!SNMP_LOC K\xFC"
                                                                   "che"),
                                                        QByteArray("a\0b", 3), QByteArray("\x01\x7F\xFF")});
    GuiFixture f;
    QVERIFY(connectWithFaults(f, module));
    SessionConnection& session = f.dialog().session();
    QSignalSpy lines(&session, &SessionConnection::lineReceived);
    QSignalSpy sent(&f.fleet(), &SimFleet::tcpBytesSent);
    const std::uint32_t sentBefore = session.BytesSent();
    const std::uint32_t receivedBefore = session.BytesReceived();

    QCOMPARE(session.SendText(command.toStdString()), 0);
    QCOMPARE(session.BytesSent() - sentBefore, std::uint32_t(command.size()));
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), lineCount, 20000);
    const QByteArray wire = joined(sent, 1);
    QTRY_COMPARE_WITH_TIMEOUT(session.BytesReceived() - receivedBefore, std::uint32_t(wire.size()),
                              kTimeoutMs);
    QCOMPARE(wire.count("\r\n"), module.faults.crlf ? lineCount : 0);
    const QList<QByteArray> expected = expectedLines(wire);
    QCOMPARE(expected.size(), lineCount);
    QStringList logged;
    for (int i = 0; i < lineCount; ++i) {
        QCOMPARE(lines[i][0].toByteArray(), expected[i]);
        logged << QString::fromLatin1(expected[i]);
    }
    // The log keeps a bounded number of lines: compare its end.
    const qsizetype tail = std::min<qsizetype>(lineCount, 100);
    const QStringList received = receivedLines(f, 0);
    QCOMPARE(received.mid(received.size() - tail), logged.mid(lineCount - tail));
    if (fault == "long")
        QCOMPARE(expected[1].size(), 298);
    if (fault == "odd")
        QCOMPARE(logged.mid(0, 2),
                 (QStringList{QStringLiteral("!SNMP_LOC K\u00FCche"), QStringLiteral("a")}));
    QCOMPARE(session.pendingLineLength(), 0u);
    QCOMPARE(f.dialog().sessionState(), SessionState::Connected);
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
    const QStringList next =
        logFrom(f, QStringLiteral("ZEKConfig: Socket connected")).filter(QStringLiteral("RCV: "));
    QVERIFY(!next.isEmpty());
    QVERIFY2(next.front().startsWith(QStringLiteral("RCV: modul_typ")), qPrintable(next.front()));
}

void TestSession::everyButtonSendsItsCommand() {
    GuiFixture f;
    QVERIFY(openWindow(f));
    QVERIFY(connectSession(f));
    ZEKConfig& d = f.dialog();
    takeLetters(d, QStringLiteral("TL"));
    // The rule lists are filled by the language file.
    for (const auto& [id, count] :
         {std::pair{5133, 5}, {5134, 5}, {5127, 7}, {5128, 7}, {5130, 12}, {5129, 12}})
        for (int i = 0; i < count; ++i)
            d.control<QComboBox>(id)->addItem(QString::number(i));
    d.control<QLineEdit>(5179)->setText("12:00:00");
    d.control<QLineEdit>(5182)->setText("13:00:00");
    QSignalSpy raw(&f.fleet(), &SimFleet::tcpBytesReceived);
    QSignalSpy lines(&f.fleet(), &SimFleet::tcpLineReceived);

    struct Row {
        int id;
        const char* inputs;
        QByteArray text;
        ReplyKey clears;
    };
    const Row rows[] = {
        {5090, "", "?LOG_ON\r", ReplyKey::LogOn},
        {5089, "", "?TIME_UTC\r", ReplyKey::TimeLocal},
        {5140, "", "?DST_USE\r", ReplyKey::DstUse},
        {5139, "", "?DST_START\r", ReplyKey::DstStart},
        {5138, "", "?DST_STOP\r", ReplyKey::DstStop},
        {5086, "", "?TRAP_IP1\r", ReplyKey::TrapIp1},
        {5088, "", "?TRAP_IP2\r", ReplyKey::TrapIp2},
        {5087, "", "?TRAP_IP3\r", ReplyKey::TrapIp3},
        {5202, "", "?SNMP_LOC\r", ReplyKey::SnmpLoc},
        {5106, "5199=0;5103=4", "!LOG_ON 0\r", ReplyKey::LogOn},
        {5106, "5199=1", "!LOG_ON 5\r", ReplyKey::LogOn},
        {5135, "5124=1", "!DST_USE 1\r", ReplyKey::DstUse},
        {5135, "5124=0", "!DST_USE 0\r", ReplyKey::DstUse},
        {5137, "5133=4;5127=6;5130=2;5131=2", "!DST_START 4 0 3 2\r", ReplyKey::DstStart},
        {5136, "5134=0;5128=0;5129=9;5132=23", "!DST_STOP 0 1 10 23\r", ReplyKey::DstStop},
        {5107, "5170=1;5101=10;5100=10;5099=10;5098=10", "!TRAP_IP1 10.10.10.10\r", ReplyKey::TrapIp1},
        {5108, "5171=1;5097=192;5096=168;5095=1;5094=7", "!TRAP_IP2 192.168.1.7\r", ReplyKey::TrapIp2},
        // The edit's range refuses "300": it keeps "30".
        {5109, "5172=1;5191=255;5093=;5092=0;5091=300", "!TRAP_IP3 255..0.30\r", ReplyKey::TrapIp3},
        {5201, "5200=Boiler room 2", "!SNMP_LOC Boiler room 2\r", ReplyKey::SnmpLoc},
    };
    for (const Row& row : rows) {
        const QByteArray name = QByteArray::number(row.id) + " " + row.text.trimmed();
        enter(f, QString::fromLatin1(row.inputs));
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
    QVERIFY(openWindow(f));
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
    const QList<int> logger = {5199, 5196, 5195};
    const QList<int> clock = {5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216, 5215, 5120, 5118};
    const QList<int> snmp = {5197, 5198, 5200, 5203, 5178, 5170, 5171, 5172};
    QTest::newRow("TL") << "TLSD" << logger + clock + snmp;
    QTest::newRow("L") << "LH" << logger + clock;
    QTest::newRow("T") << "TX" << snmp;
    QTest::newRow("none") << "SHXD" << QList<int>{};
}

void TestSession::enablingByLetters() {
    QFETCH(QString, letters);
    QFETCH(QList<int>, enabled);
    const QList<int> watched = {5199, 5196, 5195, 5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216,
                                5215, 5120, 5118, 5197, 5198, 5200, 5203, 5178, 5170, 5171, 5172};
    const QList<int> manual = {5156, 5159, 5214};
    const QList<int> rules = {5133, 5127, 5130, 5131, 5134, 5128, 5129, 5132, 5125, 5126, 5141, 5142};
    SimModuleConfig module = quietModule();
    module.state.letters = letters.toLatin1();
    GuiFixture f;
    QVERIFY(openWindow(f, module));
    ZEKConfig& d = f.dialog();
    d.control<QCheckBox>(5199)->setChecked(true); // the logger as a module reports it active
    QCOMPARE(enabledOf(f, watched), QList<int>{});
    // The module's "modul_config" line in its start message sets the capability flags.
    QVERIFY(connectSession(f));
    QCOMPARE(enabledOf(f, watched), enabled);
    QCOMPARE(enabledOf(f, kRowButtons), kRowButtons);
    // Manual time and the rule rows follow their check boxes.
    QCOMPARE(enabledOf(f, manual), QList<int>{});
    if (letters.contains(QLatin1Char('L'))) {
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
