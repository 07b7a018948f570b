// The session connection and the scan endpoint over fake sockets, with the window's parts
// the router wires to them: states with their log lines and texts, every failure rule, and
// one row of line cutting and counting.
#include "fake_transport.h"

#include "core/app/control_ids.h"
#include "core/session/session_flags.h"
#include "core/settings/language_texts.h"
#include "gui/app/dialog_form.h"
#include "gui/scan/device_tree.h"
#include "gui/scan/network_settings_panel.h"
#include "gui/scan/scan_endpoint.h"
#include "gui/session/session_connection.h"
#include "gui/session/session_panels.h"
#include "gui/session/session_state_view.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace zek;
using namespace zek::test;

namespace {

const QString kDisconnected = QStringLiteral("ZEKConfig: Socket disconnected");

struct Rig {
    QStringList log;
    QList<QPointer<FakeTcp>> sockets;
    FakeUdp* udp = nullptr;
    std::optional<ConnectTarget> target = ConnectTarget{0x7F000005, 10005};
    std::function<void(const QString&)> logFn = [this](const QString& line) { log << line; };
    QWidget dialog;
    DialogForm form{&dialog, mainDialog(), QApplication::font()};
    LanguageTexts texts;
    SessionFlags flags;
    DeviceTable table;
    QList<QByteArray> datagrams; // each with "@<sender port>"
    ScanEndpoint endpoint{logFn,
                          [this](std::span<const std::uint8_t> bytes, std::uint16_t port) {
                              datagrams << bytesOf(bytes) + '@' + QByteArray::number(port);
                          },
                          FakeUdp::factory(udp)};
    NetworkSettingsPanel network{form, table, endpoint};
    SessionConnection session{logFn, [this] { return target; }, FakeTcp::factory(sockets)};
    std::function<SessionState()> state = [this] { return session.state(); };
    DeviceTree tree{form, table, endpoint, network, state};
    SessionPanels panels{form, flags, state,
                         [this](std::string_view text) { return session.SendText(text); }};
    SessionStateView view{
        {dialog, form, texts, flags, panels, tree, [] { return QStringLiteral("Netz 1: x "); }}};

    Rig() {
        tree.setupTree();
        QObject::connect(&session, &SessionConnection::stateEntered,
                         [this](SessionState s) { view.apply(s); });
        session.createSocket(0x7F000001);
        log.clear();
    }
    FakeTcp& socket() { return *sockets.back(); }
    QString text(int id) const { return form.widget(id)->property("text").toString(); }

    // Steps: T press Connect, S send a command, I choose another interface, - deselect the
    // module; C, X, R, W + error number: the socket reports connected, closed, readable,
    // writable; O, U, N: open the endpoint, send a datagram, choose an interface without
    // an address; call=n or udp.call=n: that socket call fails with error n.
    void run(const QString& script) {
        using E = TcpTransport::Event;
        const std::map<QChar, E> events = {
            {'R', E::Readable}, {'W', E::Writable}, {'C', E::Connected}, {'X', E::Closed}};
        for (const QString& step : script.split(' ')) {
            const QString call = step.section('=', 0, 0);
            if (step.contains('='))
                (call.startsWith("udp.") ? udp->fails : socket().fails)[call.section('.', -1)] =
                    step.section('=', 1).toInt();
            else if (step.size() > 1)
                socket().report(events.at(step[0]), step.mid(1).toInt());
            else if (step == "T")
                session.ToggleConnection();
            else if (step == "S")
                session.SendText("?LOG_ON\r");
            else if (step == "I")
                session.createSocket(0x7F000002);
            else if (step == "-")
                target.reset();
            else if (step == "O")
                endpoint.open(0x7F000001);
            else if (step == "U")
                endpoint.send(std::array<std::uint8_t, 2>{2, 15});
            else
                endpoint.selectInterface(-1);
        }
    }
};

// + = - stand for the connecting, connected and disconnected lines, "what:n" for a TCP/IP
// error line; any other line follows "ZEKConfig: ".
QStringList expand(const QString& log) {
    QStringList lines;
    for (const QString& code : log.split('|', Qt::SkipEmptyParts))
        lines << (code == "+"           ? QStringLiteral("ZEKConfig: Socket connecting ...")
                  : code == "="         ? QStringLiteral("ZEKConfig: Socket connected")
                  : code == "-"         ? kDisconnected
                  : !code.contains(':') ? "ZEKConfig: " + code
                                        : QStringLiteral("ZEKConfig: TCP/IP Error %1 (Winsock:%2)")
                                              .arg(code.section(':', 0, 0))
                                              .arg(code.section(':', 1).toInt(), 5));
    return lines;
}

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void stateMachine_data();
    void stateMachine();
    void linesAndCounters();
    void endpointSendsAndReceives();
};

void TestConnection::stateMachine_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("entered"); // the states entered, by number
    QTest::addColumn<QString>("log");
    const char* rows[][4] = {
        {"connect, disconnect", "T C0 T", "1230", "+|=|-"},
        // The connect's completion comes after the cancel and is not acted upon.
        {"cancel", "T T C0", "120", "+|-"},
        {"no module", "- T", "", "No module selected, nothing to connect to"},
        {"create fails", "open=24 T", "120", "+|creating socket:24|-"},
        {"bind fails", "bind=99 T", "120", "+|on socket Bind:99|-"},
        {"refused at once", "connect=111 T", "120", "+|while connecting:111|-"},
        {"refused later", "T C111", "120", "+|while connecting:111|-"},
        {"reset", "T C0 X104", "1230", "+|=|closing socket:104|-"},
        {"peer closes", "T C0 X0", "1230", "+|=|-"},
        {"other interface", "T C0 I", "1230", "+|=|-"},
        {"read error", "T C0 R5", "123", "+|=|while reading:5"},
        {"write fails", "T C0 write=32 S", "123", "+|=|writing data:32"},
        {"queue full", "T C0 write=105 S", "123", "+|=|writing data:105"},
        {"late write fails", "T C0 W32", "123", "+|=|writing data:32"},
        {"send while idle", "S", "", "writing data:9"},
        {"udp create fails", "udp.create=24 O U", "", "UDP Error on CreateSocket()|UDP Error 9 (reason 9)"},
        {"udp bind fails", "udp.bind=99 O U", "", "UDP Error on BindSocket()|UDP Error 9 (reason 9)"},
        {"udp would block", "O udp.send=11 U", "", ""},
        // A failed send closes the endpoint: the next send fails as well.
        {"udp send fails", "O udp.send=101 U U", "", "UDP Error 101 (reason 101)|UDP Error 9 (reason 9)"},
        {"udp no address", "O N U", "", "No PC address for interface 0|UDP Error 9 (reason 9)"},
        {"udp small buffer", "udp.buffer=1000 O", "", "UDP receive buffer 1000 bytes (asked for 4194304)"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3];
}

void TestConnection::stateMachine() {
    QFETCH(QString, script);
    QFETCH(QString, entered);
    QFETCH(QString, log);
    Rig r;
    r.texts.set("BUTTON_CONNECT_CONNECT", "Verbinden");
    r.texts.set("BUTTON_CONNECT_DISCONNECT", "Trennen");
    r.flags.TrapCapable = true;
    r.form.widget(ctl::ModuleTyp)->setProperty("text", "old");
    QSignalSpy states(&r.session, &SessionConnection::stateEntered);
    r.run(script);
    QString seen;
    for (const QList<QVariant>& call : states)
        seen += QString::number(int(call[0].value<SessionState>()));
    QCOMPARE(seen, entered);
    QCOMPARE(r.log, expand(log));
    const bool connected = entered.endsWith('3');
    QCOMPARE(r.text(ctl::StateText), connected ? "State: Connected" : "State: Idle");
    QCOMPARE(r.text(ctl::Connect), connected ? "Trennen" : entered.isEmpty() ? "Connect" : "Verbinden");
    QCOMPARE(r.form.widget(ctl::kSelectionControls.back())->isEnabled(), !connected);
    QCOMPARE(r.text(ctl::ModuleTyp), entered.contains('3') ? "?" : "old");
    QCOMPARE(r.flags.TrapCapable, entered.isEmpty());
    QCOMPARE(r.dialog.windowTitle(), entered.endsWith('0') ? "Netz 1: x  nicht verbunden" : "");
    QCOMPARE(r.session.BytesSent(), 0u);
    const FakeTcp& socket = *r.sockets[1];
    QCOMPARE(socket.localAddress, 0x7F000001u);
    QCOMPARE(socket.isOpen, connected);
    QCOMPARE(socket.isShutDown, script == "T C0 T");
    if (entered.contains('3'))
        QCOMPARE(std::pair(socket.remoteAddress, socket.remotePort), std::pair(0x7F000005u, quint16(10005)));
}

void TestConnection::linesAndCounters() {
    Rig r;
    r.run("T C0");
    QSignalSpy lines(&r.session, &SessionConnection::lineReceived);
    QSignalSpy completed(&r.session, &SessionConnection::linesCompleted);
    QSignalSpy rx(&r.session, &SessionConnection::rxActivity);
    r.log.clear();
    r.socket().chunks = {"!LOG_", "ON 1\r!DST_USE 1\r\n!SNMP"};
    r.socket().report(TcpTransport::Event::Readable, 0);
    QCOMPARE(r.log, (QStringList{"RCV: !LOG_ON 1", "RCV: !DST_USE 1"}));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1][0].toByteArray(), "!DST_USE 1");
    QCOMPARE(std::tuple(completed.size(), rx.size(), r.session.BytesReceived()), std::tuple(1, 2, 27u));

    QCOMPARE(r.session.SendText(std::string_view("?GERAET\r\0?FIRMA\r", 16)), 0);
    QCOMPARE(r.socket().written, "?GERAET\r");
    QCOMPARE(r.session.BytesSent(), 8u);
    QCOMPARE(r.log.last(), "SND: ?GERAET\r");

    // A line whose handler ends the session is the last one taken from the read, and
    // the part line is dropped.
    QObject::connect(&r.session, &SessionConnection::lineReceived, [&] { r.session.ToggleConnection(); });
    r.socket().deliver("_LOC a\rnext\rmore");
    QCOMPARE(r.log.mid(3), (QStringList{"RCV: !SNMP_LOC a", kDisconnected}));
    QCOMPARE(r.session.pendingLineLength(), 0u);
}

void TestConnection::endpointSendsAndReceives() {
    Rig r;
    QVERIFY(r.endpoint.open(0x7F000001) && r.endpoint.send(std::array<std::uint8_t, 2>{2, 15}));
    QCOMPARE(r.udp->sent[0].bytes, QByteArray("\x02\x0F"));
    QCOMPARE(std::tuple(r.udp->sent[0].address, r.udp->sent[0].port, r.udp->boundTo, r.udp->broadcast),
             std::tuple(0xFFFFFFFFu, 8002, 0x7F000001u, true));
    // A failed receive is logged and leaves the endpoint open for the next notification.
    r.udp->fails["receive"] = 5;
    r.udp->incoming = {{"one", 0, 8002}, {QByteArray(300, 'x'), 0, 8002}};
    r.udp->ready();
    r.udp->fails.clear();
    r.udp->ready();
    QCOMPARE(r.log, QStringList{"ZEKConfig: UDP Error 5 (reason 5)"});
    QCOMPARE(r.datagrams,
             (QList<QByteArray>{"one@8002", QByteArray(255, 'x') + "@8002"})); // cut to the reply buffer
}

QTEST_MAIN(TestConnection)
#include "test_connection.moc"
