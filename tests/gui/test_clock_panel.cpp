#include "gui_helpers.h"

#include "gui/clock/pc_clock.h"

#include <QtTest>
#include <QtWidgets>

using namespace zek;
using namespace zek::test;

class TestClockPanel : public QObject {
    Q_OBJECT
private slots:
    void readAndSet();
    void pcClockOffsetIsStandardTime();
};

// A module on zone +1.00 with summer time, its clock running from 10.06.26 13:04:00 UTC; the
// PC at 21:05:09 local on 05.12.26, one hour east of UTC; "active" ticked to enable the rows.
void TestClockPanel::readAndSet() {
    ConnectedFixture r(GuiFixture::module(7, "clock"));
    QVERIFY(r.ready);
    FleetOptions options = r.fleet().options();
    options.hostClock = [] { return QDateTime(QDate(2026, 6, 10), QTime(13, 4), Qt::UTC); };
    r.fleet().setOptions(options);
    QList<QByteArray> received;
    QObject::connect(&r.fleet(), &SimFleet::tcpLineReceived,
                     [&](int, const QByteArray& line) { received << line; });
    r.dialog().setPcClock([] { return PcTime{{2026, 12, 5, 20, 5, 9}, 6, {2026, 12, 5, 21, 5, 9}, 6, 60}; });
    r.click(ctl::LoggerActive);
    const auto shows = [&](int id, const char* text) {
        return QTest::qWaitFor([&] { return r.text(id) == QLatin1String(text); }, 5000);
    };

    // Read: the module's UTC time and zone, and its local time in both views' cuts.
    r.click(ctl::ClockRead);
    QVERIFY(shows(ctl::ZekLocalTime, "15:04:00 10.06.26 (S)"));
    QCOMPARE(r.text(ctl::ZekUtcTime), QStringLiteral("13:04:00 (3) 10.06.26 (60)"));
    QCOMPARE(r.text(ctl::DeviceZone), QStringLiteral("+1.00"));
    QVERIFY(shows(ctl::PcLocalTime, "21:05:09        05.12.26"));
    r.dialog().ToggleView();
    QCOMPARE(r.text(ctl::ZekLocalTime), QStringLiteral("15:04:00 (3) 10.06.26 (S)"));
    QCOMPARE(r.text(ctl::PcLocalTime), QStringLiteral("21:05:09 (6) 05.12.26"));

    // Set from the PC clock: the payload is the PC UTC text.
    QVERIFY(shows(ctl::PcUtcTime, "20:05:09 (6) 05.12.26 (60)"));
    r.click(ctl::ClockSet);
    QVERIFY(shows(ctl::ZekUtcTime, "20:05:09 (6) 05.12.26 (60)"));
    QCOMPARE(received.last(), "!TIME_UTC " + r.text(ctl::PcUtcTime).toLatin1());

    // Set from the entered time typed over the field, on 01.01.10 in zone +1.00, then read back.
    r.click(ctl::UsePcTime);
    r.dialog().control<QComboBox>(ctl::ZoneList)->setCurrentIndex(15);
    auto* time = r.dialog().control<QLineEdit>(ctl::TimeEdit);
    time->setCursorPosition(0);
    QTest::keyClicks(time, "15x0400");
    QCOMPARE(time->text(), QStringLiteral("15:04:00 "));
    r.click(ctl::ClockSet);
    QTRY_COMPARE(received.last(), QByteArray("!TIME_UTC 14:04:00 (5) 01.01.10 (60)"));
    r.click(ctl::ClockRead);
    QVERIFY(shows(ctl::ZekUtcTime, "14:04:00 (5) 01.01.10 (60)"));

    // The group's Set ends with the clock set and its local time shown again.
    r.dialog().control<QLineEdit>(ctl::ZekLocalTime)->clear();
    const qsizetype mark = r.logLines().size();
    r.click(ctl::LoggerGroupSet);
    QVERIFY(shows(ctl::ZekLocalTime, "15:04:00 (5) 01.01.10 (W)"));
    QVERIFY(QTest::qWaitFor([&] { return r.logLines().mid(mark).contains("State: 36"); }));
    QCOMPARE(received.last(), QByteArray("!TIME_UTC 14:04:00 (5) 01.01.10 (60)"));

    // Without a real-time clock the module's answer to Set shows "?".
    SimDeviceState state = r.fleet().module(0).state();
    state.hasRtc = false;
    r.fleet().setState(0, state);
    r.click(ctl::ClockSet);
    QVERIFY(shows(ctl::ZekLocalTime, "?"));
    QCOMPARE(r.text(ctl::ZekUtcTime), QStringLiteral("No RTC"));
}

// A zone east of UTC in summer time all year: the PC's offset is the standard one.
void TestClockPanel::pcClockOffsetIsStandardTime() {
    if (QSysInfo::productType() == QLatin1String("windows"))
        QSKIP("Windows takes the zone from its settings, not from TZ; zekctl's check under wine covers it");
    qputenv("TZ", "XST-1XDT,J1/0,J365/24");
    const PcTime pc = readPcClock();
    qunsetenv("TZ");
    QCOMPARE(pc.standardOffsetMinutes, 60L);
    QCOMPARE(ToClockSeconds(pc.local) - ToClockSeconds(pc.utc), 7200u);
}

QTEST_MAIN(TestClockPanel)
#include "test_clock_panel.moc"
