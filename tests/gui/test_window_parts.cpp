// The window's parts without the window: the form built from the inventory, its input rules
// and the gauge; the session and the scan endpoint over fake sockets, with what they show.
#include "core/app/control_ids.h"
#include "core/app/control_inventory.h"
#include "core/session/module_state.h"
#include "core/settings/language_texts.h"
#include "gui/app/dialog_form.h"
#include "gui/app/led_gauge.h"
#include "gui/app/panel_view.h"
#include "gui/app/socket_notifier.h"
#include "gui/app/validators.h"
#include "gui/scan/device_tree.h"
#include "gui/scan/network_settings_panel.h"
#include "gui/scan/scan_endpoint.h"
#include "gui/session/session_connection.h"
#include "gui/session/session_panels.h"
#include "gui/session/session_state_view.h"
#include "sim/sim_protocol.h"

#include <QtTest>
#include <QtWidgets>

#include <cstring>
#include <list>
#include <memory>

using namespace zek;

namespace {

// A call named in `fails` fails with that error number (9 stands for "not open").
struct FakeFailures {
    QMap<QString, int> fails;
    int error = 0;
    bool ok(const QString& call) { return (error = fails.value(call)) == 0; }
};

QByteArray bytesOf(std::span<const std::uint8_t> bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// A stream socket played by the test: it records what the session does to it in a record
// that outlives it (the session replaces its socket) and fails as the record says: "connected"
// is the connect's result, "read" a failed read, "write" 11 a send that would block.
struct TcpRecord : FakeFailures {
    std::uint32_t localAddress = 0, remoteAddress = 0;
    std::uint16_t remotePort = 0;
    bool isOpen = false, isShutDown = false;
    QByteArray written;
    QList<QByteArray> chunks; // one read each
    std::optional<int> end;   // after the chunks: the peer closed (0) or reset the connection
};

class FakeTcp : public net::StreamSocket {
public:
    explicit FakeTcp(TcpRecord& record) : r(record) {}
    TcpRecord& r;

    bool open() override { return r.ok("open") && (r.isOpen = true); }
    bool bind(std::uint32_t local) override { return (r.localAddress = local, r.ok("bind")); }
    bool startConnect(std::uint32_t address, std::uint16_t port) override {
        r.remoteAddress = address;
        r.remotePort = port;
        return r.ok("connect");
    }
    int connectError() override { return r.fails.value("connected"); }
    ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received) override {
        received = r.chunks.isEmpty() ? 0 : std::min(buffer.size(), std::size_t(r.chunks.front().size()));
        if (!r.ok("read"))
            return ReadResult::Failed;
        if (received == 0) {
            r.error = r.end.value_or(0);
            return r.end ? ReadResult::Ended : ReadResult::WouldBlock;
        }
        std::memcpy(buffer.data(), r.chunks.takeFirst().constData(), received);
        return ReadResult::Data;
    }
    SendResult send(std::span<const std::uint8_t> bytes, std::size_t& taken) override {
        taken = std::min<std::size_t>(bytes.size(), r.fails.value("take", int(bytes.size())));
        if (!r.ok(r.isOpen ? "write" : "closed"))
            return r.error == 11 ? SendResult::WouldBlock : SendResult::Failed;
        r.written += bytesOf(bytes.first(taken));
        return SendResult::Done;
    }
    void shutdownBoth() override { r.isShutDown = true; }
    void close() override { r.isOpen = false; }
    bool isOpen() const override { return r.isOpen; }
    net::SocketHandle handle() const override { return net::kNoSocket; }
    int lastError() const override { return r.error; }

    // Every socket a session makes is a fake one, the newest last.
    static net::StreamSocketFactory factory(std::list<TcpRecord>& made) {
        return [&made] {
            made.emplace_back().fails["closed"] = 9;
            return std::make_unique<FakeTcp>(made.back());
        };
    }
};

// A datagram socket played by the test; error 11 makes a send "would block", "buffer"
// is the receive buffer granted.
class FakeUdp : public net::DatagramSocket, public FakeFailures {
public:
    struct Datagram {
        QByteArray bytes;
        std::uint32_t address;
        std::uint16_t port;
    };

    bool opened = false, broadcast = false;
    std::uint32_t boundTo = 0;
    QList<Datagram> sent, incoming;

    bool open() override { return opened = ok("create"); }
    bool bind(std::uint32_t address) override { return (boundTo = address, ok("bind")); }
    bool setBroadcast(bool on) override { return broadcast = on; }
    int requestReceiveBuffer(int bytes) override { return fails.value("buffer", bytes); }
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) override {
        if (!ok(opened ? "send" : "closed"))
            return error == 11 ? Result::WouldBlock : Result::Failed;
        sent.append({bytesOf(bytes), address, port});
        return Result::Done;
    }
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received,
                   std::uint16_t& senderPort) override {
        if (!ok("receive") || incoming.isEmpty())
            return error ? Result::Failed : Result::WouldBlock;
        const Datagram d = incoming.takeFirst();
        received = std::min(buffer.size(), std::size_t(d.bytes.size()));
        std::memcpy(buffer.data(), d.bytes.constData(), received);
        senderPort = d.port;
        return Result::Done;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    net::SocketHandle handle() const override { return net::kNoSocket; }
    std::uint16_t localPort() const override { return opened ? 40000 : 0; }
    int lastError() const override { return error; }

    // The endpoint's one socket is this fake; `made` points to it.
    static net::DatagramSocketFactory factory(FakeUdp*& made) {
        return [&made] {
            auto fake = std::make_unique<FakeUdp>();
            made = fake.get();
            made->fails["closed"] = 9;
            return fake;
        };
    }
};

// What the loop would report of a socket with a watch: a test's sockets have no handle.
void signalReady(const QObject& owner, bool write = false) {
    auto* watch = owner.findChild<SocketWatch*>();
    write ? emit watch->writable() : emit watch->readable();
}

// The widget class of each control kind, in the order of ControlKind.
constexpr const char* kClassOf[] = {"QGroupBox",   "QLabel",    "QLabel",     "QLineEdit", "QPushButton",
                                    "QPushButton", "QCheckBox", "QComboBox",  "QListView", "QTreeWidget",
                                    "QFrame",      "QLabel",    "QPushButton"};
static_assert(std::size(kClassOf) == std::size_t(ControlKind::GlyphButton) + 1);

const QString kDisconnected = QStringLiteral("ZEKConfig: Socket disconnected");

struct Rig {
    QStringList log;
    QString entered; // the states entered, by number
    std::list<TcpRecord> sockets;
    FakeUdp* udp = nullptr;
    std::optional<ConnectTarget> target = ConnectTarget{0x7F000005, 10005};
    std::function<void(const QString&)> logFn = [this](const QString& line) { log << line; };
    QWidget dialog;
    DialogForm form{&dialog, mainDialog(), QApplication::font()};
    PanelView view(Panel panel) const { return PanelView(form, panelControls(panel)); }
    LanguageTexts texts;
    ModuleState module;
    DeviceTable table;
    QStringList datagrams; // as traced
    QList<DecodedDatagram> decoded;
    ScanEndpoint endpoint{
        logFn, [](std::string_view key) { return std::string(key); },
        [this](const DecodedDatagram& d) { decoded << d; }, FakeUdp::factory(udp),
        [this](std::string_view line) { datagrams << QString::fromStdString(std::string(line)); }};
    NetworkSettingsPanel network{view(Panel::NetworkSettings), table, endpoint};
    SessionConnection session{logFn, [this] { return target; }, FakeTcp::factory(sockets)};
    std::function<SessionState()> state = [this] { return session.state(); };
    DeviceTree tree{
        view(Panel::DeviceTree), table, endpoint, network, state, [this] { panels.showUnknownIdentity(); }};
    SessionPanels panels{view(Panel::Session), [this]() -> const ModuleState& { return module; }, state,
                         [this](const SessionCommand& command) { session.SendText(command.text); }};
    SessionStateView stateView{{dialog, view(Panel::StateView), texts, [this] { module.newSession(); },
                                panels, tree, [] { return QStringLiteral("Netz 1: x "); }, [] {}}};

    Rig() {
        tree.setupTree();
        QObject::connect(&session, &SessionConnection::stateEntered, [this](SessionState s) {
            stateView.apply(s);
            entered += QString::number(int(s));
        });
        session.createSocket(0x7F000001);
        log.clear();
    }
    TcpRecord& socket() { return sockets.back(); }
    void readable() { signalReady(session); }
    QString text(int id) const { return form.widget(id)->property("text").toString(); }

    // Steps: T press Connect, S send a command, I choose another interface, - deselect the
    // module; C, X, R, W + error number: the connect ends, the peer ends the stream, a read
    // fails, a send fails (0: it succeeds), each shown by the readiness that reveals it;
    // O, U, N: open the endpoint, send a datagram, choose an interface without an address;
    // call=n or udp.call=n: that socket call fails with error n.
    void run(const QString& script) {
        const std::map<QChar, const char*> failures = {{'C', "connected"}, {'R', "read"}, {'W', "write"}};
        for (const QString& step : script.split(' ')) {
            const QString call = step.section('=', 0, 0);
            const int error = step.mid(1).toInt();
            if (step.contains('=')) {
                (call.startsWith("udp.") ? udp->fails : socket().fails)[call.section('.', -1)] =
                    step.section('=', 1).toInt();
            } else if (step.size() > 1 && step[0] == 'X') {
                socket().end = error;
                readable();
                // The end is acted on after the read that found it.
                QCoreApplication::processEvents();
            } else if (step.size() > 1) {
                socket().fails[failures.at(step[0])] = error;
                signalReady(session, step[0] != 'R');
            } else if (step == "T")
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

// + = - stand for the connecting, connected and disconnected lines, SND for the sent
// command, "what:n" for a TCP/IP error line, "udp:n" for a UDP one; any other line follows
// "ZEKConfig: ".
QStringList expand(const QString& log) {
    QStringList lines;
    for (const QString& code : log.split('|', Qt::SkipEmptyParts))
        lines << (code == "+"     ? QStringLiteral("ZEKConfig: Socket connecting ...")
                  : code == "SND" ? QStringLiteral("SND: ?LOG_ON\r")
                  : code.startsWith("udp:")
                      ? QStringLiteral("ZEKConfig: UDP Error %1 (%2)")
                            .arg(code.mid(4))
                            .arg(QString::fromStdString(net::reasonText(code.mid(4).toInt())))
                  : code == "="         ? QStringLiteral("ZEKConfig: Socket connected")
                  : code == "-"         ? kDisconnected
                  : !code.contains(':') ? "ZEKConfig: " + code
                                        : QStringLiteral("ZEKConfig: TCP/IP Error %1 (Winsock:%2)")
                                              .arg(code.section(':', 0, 0))
                                              .arg(code.section(':', 1).toInt(), 5));
    return lines;
}

} // namespace

class TestWindowParts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8)); }

    void everyControlAsDeclared();
    void input();
    void dialogUnitsFollowTheFont();
    void gaugeDrawsItsValue();
    void stateMachine_data();
    void stateMachine();
    void linesAndCounters();
    void endpointSendsAndReceives();
};

void TestWindowParts::everyControlAsDeclared() {
    QWidget dialog;
    const DialogForm form(&dialog, mainDialog(), QApplication::font());
    for (const ControlSpec& spec : controlInventory()) {
        if (spec.id == 0)
            continue;
        const QByteArray what = QByteArray::number(spec.id);
        QWidget* widget = dialog.findChild<QWidget*>(QString::number(spec.id));
        QVERIFY2(widget == form.widget(spec.id) && widget->inherits(kClassOf[int(spec.kind)]), what);
        QCOMPARE(widget->isHidden(), (spec.flags & Hidden) != 0 || spec.kind == ControlKind::BitmapStatic ||
                                         spec.kind == ControlKind::GlyphButton);
        QCOMPARE(widget->isEnabled(), (spec.flags & Disabled) == 0);
        if (auto* box = qobject_cast<QCheckBox*>(widget))
            QCOMPARE(box->isChecked(), (spec.flags & Checked) != 0);
        // Module texts show as they are, markup included.
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->textFormat(), Qt::PlainText);
        const char* property = qobject_cast<QGroupBox*>(widget) ? "title" : "text";
        if (spec.kind != ControlKind::DropDownList && spec.kind != ControlKind::EtchedLine)
            QVERIFY2(widget->property(property).toString() == QString::fromLatin1(spec.text), what);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QCOMPARE(edit->isReadOnly(), (spec.flags & ReadOnly) != 0);
            auto* validator = qobject_cast<const LimitValidator*>(edit->validator());
            QCOMPARE(validator != nullptr ? validator->limit() : 0, spec.limit);
        }
    }
}

void TestWindowParts::input() {
    // Edit, how the text goes in (t typed key by key, p pasted whole, s set by the program),
    // the text, what the edit then holds, the refusal shown.
    const struct {
        int id;
        char how;
        QString input, expected, message;
    } rows[] = {
        {ctl::kTrapRows[0].edits[3], 't', "999", "99", "Value is not in the range 0 to 255."},
        {ctl::PortEdit, 't', "65536", "6553", "Value is not in the range 0 to 65535."},
        {ctl::EepromAddress, 't', "1fZ0", "1f0", "Invalid character in input"},
        {ctl::SnmpLocation, 't', QString(40, u'l'), QString(32, u'l'), {}},
        // Pasted text is judged whole: it goes in entirely or not at all.
        {ctl::kIpEdits[1], 'p', "300", "", "Value is not in the range 0 to 255."},
        // A module may carry a 32-character name; the user may type 31.
        {ctl::NameEdit, 's', QString(32, u'm'), QString(32, u'm'), {}},
    };
    Rig r;
    for (const auto& row : rows) {
        auto* edit = r.form.control<QLineEdit>(row.id);
        QSignalSpy refusals(qobject_cast<const LimitValidator*>(edit->validator()), &LimitValidator::refused);
        edit->clear();
        if (row.how == 's')
            edit->setText(row.input);
        else if (row.how == 'p')
            edit->insert(row.input);
        else
            QTest::keyClicks(edit, row.input);
        QCOMPARE(edit->text(), row.expected);
        QCOMPARE(refusals.isEmpty() ? QString() : refusals.last().at(0).toString(), row.message);
    }
}

void TestWindowParts::dialogUnitsFollowTheFont() {
    Rig r;
    const QSize full = r.form.fullSize();
    QVERIFY2(QRect(1000, 700, 401, 251).contains(QPoint(full.width(), full.height())),
             qPrintable(QStringLiteral("%1 x %2").arg(full.width()).arg(full.height())));
    const ControlSpec* log = findControlSpec(ctl::LogList);
    QCOMPARE(r.form.widget(ctl::LogList)->geometry(),
             r.form.units().toPixels(log->x, log->y, log->w, log->h));
    // Log columns line up when every letter has one width, whatever the font calls itself.
    const QFontMetrics logFont(r.form.widget(ctl::LogList)->font());
    QCOMPARE(logFont.horizontalAdvance(QLatin1Char('i')), logFont.horizontalAdvance(QLatin1Char('W')));
    QVERIFY(r.form.control<QTreeWidget>(ctl::Tree)->isHeaderHidden());

    const QFont saved = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QWidget larger;
    DialogForm largerForm(&larger, mainDialog(), QApplication::font());
    QApplication::setFont(saved);
    QVERIFY(largerForm.fullSize().width() > full.width() && largerForm.fullSize().height() > full.height());
}

void TestWindowParts::gaugeDrawsItsValue() {
    LedGauge gauge;
    QCOMPARE(std::pair(gauge.objectName(), gauge.size()),
             std::pair(QString::number(ctl::Gauge), QSize(210, 20)));
    gauge.setBarColor(Qt::green);
    gauge.setValue(50);
    // The lit half is green at its segments, the dark half nowhere; row 3 stays clear of the label.
    const QImage image = gauge.grab().toImage();
    int lit[2] = {0, 0};
    for (int x = 0; x < image.width(); ++x)
        lit[x >= image.width() / 2] += image.pixelColor(x, 3) == QColor(Qt::green) ? 1 : 0;
    QVERIFY2(lit[0] > 80 && lit[0] < 104 && lit[1] == 0,
             qPrintable(QStringLiteral("%1 %2").arg(lit[0]).arg(lit[1])));
    gauge.setValue(150);
    QCOMPARE(std::pair(gauge.value(), gauge.text()), std::pair(100, QStringLiteral("100%")));
}

void TestWindowParts::stateMachine_data() {
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
        {"late write fails", "T C0 write=11 S W32", "123", "+|=|SND|writing data:32"},
        {"write waits, then goes", "T C0 write=11 S W0", "123", "+|=|SND"},
        {"sent in parts", "T C0 take=3 S", "123", "+|=|SND"},
        {"sent once connected", "T S C0 W0", "123", "+|SND|="},
        {"send while idle", "S", "", "writing data:9"},
        {"udp create fails", "udp.create=24 O U", "", "UDP Error on CreateSocket()|udp:9"},
        {"udp bind fails", "udp.bind=99 O U", "", "UDP Error on BindSocket()|udp:9"},
        {"udp would block", "O udp.send=11 U", "", ""},
        // A failed send closes the endpoint: the next send fails as well.
        {"udp send fails", "O udp.send=101 U U", "", "udp:101|udp:9"},
        {"udp no address", "O N U", "", "No PC address for interface 0|udp:9"},
        {"udp small buffer", "udp.buffer=1000 O", "", "UDP receive buffer 1000 bytes (asked for 4194304)"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3];
}

void TestWindowParts::stateMachine() {
    QFETCH(QString, script);
    QFETCH(QString, entered);
    QFETCH(QString, log);
    Rig r;
    r.texts.set("BUTTON_CONNECT_CONNECT", "Verbinden");
    r.texts.set("BUTTON_CONNECT_DISCONNECT", "Trennen");
    r.module.apply(ParseReply("modul_config T"));
    r.form.widget(ctl::ModuleTyp)->setProperty("text", "old");
    r.run(script);
    QCOMPARE(r.entered, entered);
    QCOMPARE(r.log, expand(log));
    const bool connected = entered.endsWith('3');
    QCOMPARE(r.text(ctl::StateText), connected ? "State: Connected" : "State: Idle");
    QCOMPARE(r.text(ctl::Connect), connected ? "Trennen" : entered.isEmpty() ? "Connect" : "Verbinden");
    QCOMPARE(r.form.widget(ctl::kSelectionControls.back())->isEnabled(), !connected);
    QCOMPARE(r.text(ctl::ModuleTyp), entered.contains('3') ? "?" : "old");
    QCOMPARE(r.module.trapCapable(), entered.isEmpty());
    QCOMPARE(r.dialog.windowTitle(), entered.endsWith('0') ? "Netz 1: x  nicht verbunden" : "");
    const auto sent = r.log.count(QStringLiteral("SND: ?LOG_ON\r"));
    QCOMPARE(r.session.BytesSent(), 8u * sent);
    const TcpRecord& socket = *std::next(r.sockets.begin());
    QCOMPARE(socket.written, log.contains("writing") ? QByteArray() : QByteArray("?LOG_ON\r").repeated(sent));
    QCOMPARE(socket.localAddress, entered.isEmpty() || script.startsWith("open") ? 0u : 0x7F000001u);
    QCOMPARE(socket.isOpen, connected);
    QCOMPARE(socket.isShutDown, script == "T C0 T");
    if (entered.contains('3'))
        QCOMPARE(std::pair(socket.remoteAddress, socket.remotePort), std::pair(0x7F000005u, quint16(10005)));
}

void TestWindowParts::linesAndCounters() {
    Rig r;
    r.run("T C0");
    QSignalSpy flood(&r.session, &SessionConnection::lineReceived);
    // A flooding peer is read at most so many times per notification; the rest waits.
    r.socket().chunks = QList<QByteArray>(100, "flood\r");
    for (const qsizetype left : {100 - SessionConnection::kReadsPerNotification, 0}) {
        r.readable();
        QCOMPARE(std::pair(r.socket().chunks.size(), flood.size()), std::pair(left, qsizetype(100 - left)));
    }
    // A pass ends between two lines of one read; the rest follows on the next turn of the loop.
    r.socket().chunks = {QByteArray(SessionConnection::kReadSize, '\r')};
    r.readable();
    QVERIFY(flood.size() <= 100 + SessionConnection::kLinesPerPass);
    QTRY_COMPARE(flood.size(), qsizetype(100 + SessionConnection::kReadSize));
    QSignalSpy lines(&r.session, &SessionConnection::lineReceived);
    QSignalSpy completed(&r.session, &SessionConnection::linesCompleted);
    QSignalSpy rx(&r.session, &SessionConnection::rxActivity);
    r.log.clear();
    r.socket().chunks = {"!LOG_", "ON 1\r!DST_USE 1\r\n!SNMP"};
    r.readable();
    QCOMPARE(r.log, (QStringList{"RCV: !LOG_ON 1", "RCV: !DST_USE 1"}));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1][0].toByteArray(), "!DST_USE 1");
    QCOMPARE(std::tuple(completed.size(), rx.size(), r.session.BytesReceived()), std::tuple(1, 2, 2674u));

    QCOMPARE(r.session.SendText(std::string_view("?GERAET\r\0?FIRMA\r", 16)), 0);
    QCOMPARE(r.socket().written, "?GERAET\r");
    QCOMPARE(r.session.BytesSent(), 8u);
    QCOMPARE(r.log.last(), "SND: ?GERAET\r");

    // A handler that ends the session ends the read, and the part line is dropped.
    QObject::connect(&r.session, &SessionConnection::lineReceived, [&] { r.session.ToggleConnection(); });
    r.socket().chunks = {"_LOC a\rnext\rmore"};
    r.readable();
    QCOMPARE(r.log.mid(3), (QStringList{"RCV: !SNMP_LOC a", kDisconnected}));
    QCOMPARE(r.session.pendingLineLength(), 0u);
}

void TestWindowParts::endpointSendsAndReceives() {
    Rig r;
    QVERIFY(r.endpoint.open(0x7F000001) && r.endpoint.send(std::array<std::uint8_t, 2>{2, 15}));
    QCOMPARE(r.udp->sent[0].bytes, QByteArray("\x02\x0F"));
    QCOMPARE(std::tuple(r.udp->sent[0].address, r.udp->sent[0].port, r.udp->boundTo, r.udp->broadcast),
             std::tuple(0xFFFFFFFFu, 8002, 0x7F000001u, true));
    // A failed receive is logged and leaves the endpoint open for the next notification.
    r.udp->fails["receive"] = 5;
    r.udp->incoming = {{"one", 0, 8002},
                       {QByteArray(300, 'x'), 0, 8002},
                       {encodeSoftwareInfo({0, 0x0A, 0x1B, 1, 2, 3}, "V2.10 TS"), 0, 8002}};
    signalReady(r.endpoint);
    r.udp->fails.clear();
    signalReady(r.endpoint);
    QCOMPARE(r.log, expand("udp:5"));
    QCOMPARE(r.datagrams.mid(0, 3),
             (QStringList{"SND: 02 0F", "RCV: 6F 6E 65", "RCV: 78" + QString(" 78").repeated(254)}));
    QCOMPARE(r.decoded.size(), 3); // the first two are no module's
    QCOMPARE(std::get<SoftwareText>(r.decoded[2]).text, "V2.10 TS");
}

QTEST_MAIN(TestWindowParts)
#include "test_window_parts.moc"
