#include "gui_helpers.h"

#include "gui/clock/pc_clock.h"

#include <QtTest>
#include <QtWidgets>

#include <array>

using namespace zek;
using namespace zek::test;

// Acts on the next modal dialog from within its own event loop once it shows, and closes it
// if `act` left it open. With ZEK_PICTURES set, a picture of it is saved there first.
static QPointer<QTimer> onNextModal(const char* picture, std::function<void(QDialog&)> act) {
    QPointer<QTimer> poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, picture, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        if (const QString dir = qEnvironmentVariable("ZEK_PICTURES"); !dir.isEmpty())
            dialog->grab().save(dir + QLatin1Char('/') + QLatin1String(picture));
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start(5);
    return poll;
}

template <class T> static T* in(const QDialog& dialog, int id) {
    return dialog.findChild<T*>(QString::number(id));
}

static const PcTime kPc{{2026, 12, 5, 20, 5, 9}, 6, {2026, 12, 5, 21, 5, 9}, 6, 60};

// The window connected to a logging module, the PC clock in 2026, the English texts.
struct Session {
    GuiFixture f{50};
    QList<QByteArray> received;
    bool ready = false;
    Session() {
        GuiFixture::installLanguageFiles();
        ready = f.openWindow(GuiFixture::module(7, "clock")) && f.connectSession();
        QObject::connect(&f.fleet(), &SimFleet::tcpLineReceived,
                         [this](int, const QByteArray& line) { received << line; });
        f.dialog().setPcClock([] { return kPc; });
        f.click(ctl::LoggerActive);
    }
    QList<int> indexes(const ctl::DstRuleControls& row) const {
        QList<int> result;
        for (const int id : row.lists())
            result << f.dialog().control<QComboBox>(id)->currentIndex();
        return result;
    }
};

class TestDstDialogs : public QObject {
    Q_OBJECT
private slots:
    void settingsDialogAndGroupTransfer();
    void datePickerAndSwitchHours();
};

void TestDstDialogs::settingsDialogAndGroupTransfer() {
    Session s;
    QVERIFY(s.ready);

    // Ticked in the compact view, the rules are edited in the dialog, its previews in the PC's year.
    QStringList seen;
    onNextModal("dst-settings.png", [&](QDialog& dialog) {
        seen << dialog.windowTitle() << in<QLabel>(dialog, dlg::kDstStartRow.preview)->text()
             << in<QLabel>(dialog, dlg::kDstStopRow.preview)->text();
        choose(in<QComboBox>(dialog, dlg::kDstStartRow.month), 3);
        seen << in<QLabel>(dialog, dlg::kDstStartRow.preview)->text();
        in<QPushButton>(dialog, dlg::DstSet)->click();
    });
    s.f.click(ctl::AutomaticDst);
    QCOMPARE(seen, (QStringList{"DST Settings", "29.03.26", "25.10.26", "26.04.26"}));
    QCOMPARE(s.indexes(ctl::kDstStartRow), (QList<int>{4, 6, 3, 2}));
    QCOMPARE(s.f.text(ctl::kDstStartRow.preview), QStringLiteral("26.04.26"));

    // Cleared, or ticked in the extended view, it opens nothing.
    bool opened = false;
    const QPointer<QTimer> watch = onNextModal("", [&](QDialog&) { opened = true; });
    s.f.click(ctl::AutomaticDst);
    s.f.dialog().ToggleView();
    s.f.click(ctl::AutomaticDst);
    QVERIFY(!opened);
    delete watch.data();
    QCOMPARE(s.f.text(ctl::kDstStartRow.preview), QStringLiteral("26.04.26 (0) (830484000)"));

    // The group's Set sends the switch and both rules; its Read brings the module's back.
    s.f.click(ctl::LoggerGroupSet);
    QTRY_VERIFY(s.received.contains("!DST_STOP 4 0 10 3"));
    QVERIFY(s.received.contains("!DST_USE 1") && s.received.contains("!DST_START 4 0 4 2"));
    SimDeviceState state = s.f.fleet().module(0).state();
    state.dstStop = {0, 1, 11, 4};
    state.dstUse = false;
    s.f.fleet().setState(0, state);
    s.f.click(ctl::LoggerGroupRead);
    QTRY_COMPARE(s.indexes(ctl::kDstStopRow), (QList<int>{0, 0, 10, 4}));
    QCOMPARE(s.f.text(ctl::kDstStopRow.preview), QStringLiteral("02.11.26 (1) (846907200)"));
    QTRY_VERIFY(!s.f.dialog().control<QCheckBox>(ctl::AutomaticDst)->isChecked());
}

void TestDstDialogs::datePickerAndSwitchHours() {
    Session s;
    QVERIFY(s.ready);
    ZEKConfig& d = s.f.dialog();
    d.ToggleView();
    s.f.click(ctl::AutomaticDst);
    s.f.click(ctl::UsePcTime);
    choose(d.control<QComboBox>(ctl::ZoneList), 15);
    // Offscreen, a closed modal dialog leaves no window active.
    QMainWindow* frame = s.f.app().frame();
    const auto pick = [&](int day, int monthIndex, int yearIndex, std::function<void(QDialog&)> look = {}) {
        onNextModal("date.png", [=](QDialog& dialog) {
            if (look)
                look(dialog);
            choose(in<QComboBox>(dialog, dlg::DateMonth), monthIndex);
            choose(in<QComboBox>(dialog, dlg::DateYear), yearIndex);
            in<QPushButton>(dialog, dlg::dayButton(day))->click();
            in<QPushButton>(dialog, dlg::DateSet)->click();
        });
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame))
            return false;
        d.widget(ctl::DateEdit)->setFocus();
        return QTest::qWaitFor([&] { return frame->focusWidget() == d.widget(ctl::LoggerGroupSet); });
    };

    // February 2025 hides 29 to 31; a day button selects its day and turns green.
    QStringList seen;
    QList<QColor> faces;
    QVERIFY(pick(29, 2, 25, [&](QDialog& dialog) {
        auto* years = in<QComboBox>(dialog, dlg::DateYear);
        seen << years->itemText(0) << years->itemText(years->count() - 1) << years->currentText();
        choose(in<QComboBox>(dialog, dlg::DateMonth), 1);
        choose(years, 24);
        for (const int day : {28, 29, 31})
            seen << QString::number(in<QPushButton>(dialog, dlg::dayButton(day))->isVisible());
        in<QPushButton>(dialog, dlg::plainDayButton(17))->click();
        seen << in<QComboBox>(dialog, dlg::DateDay)->currentText();
        for (const int day : {17, 1})
            faces << in<QPushButton>(dialog, dlg::dayButton(day))->grab().toImage().pixelColor(3, 3);
    }));
    QCOMPARE(seen, (QStringList{"2001", "2099", "2010", "1", "0", "0", "17"}));
    QCOMPARE(faces, (QList<QColor>{QColor(0, 255, 0), QColor(192, 192, 192)}));
    QCOMPARE(s.f.text(ctl::DateEdit), QStringLiteral("29.03.26"));
    QCOMPARE(s.f.text(ctl::kDstStartRow.preview), QStringLiteral("29.03.26 (0) (828064800)"));

    // The hour skipped at the start of summer time is refused and nothing is sent.
    auto* time = d.control<QLineEdit>(ctl::TimeEdit);
    time->setCursorPosition(0);
    QTest::keyClicks(time, "0230");
    onNextModal("ask-invalid-hour.png", [&](QDialog& dialog) {
        seen = {dialog.windowTitle(), in<QPushButton>(dialog, dlg::AskInvalidHourSet)->text()};
    });
    s.f.click(ctl::ClockSet);
    QCOMPARE(seen, (QStringList{"Invalid Hour", "OK"}));
    QCOMPARE(frame->focusWidget(), time);
    const qsizetype mark = s.received.size();
    s.f.click(ctl::ClockRead);
    QTRY_COMPARE(s.received.mid(mark), QList<QByteArray>{"?TIME_UTC"});

    // In the hour that occurs twice the answer decides, and it is preselected the next time.
    QVERIFY(pick(25, 9, 25));
    for (const auto& [preselected, answer, sent] :
         {std::tuple(dlg::AskDstSummer, dlg::AskDstWinter, "!TIME_UTC 01:30:00 (0) 25.10.26 (60)"),
          std::tuple(dlg::AskDstWinter, dlg::AskDstSummer, "!TIME_UTC 00:30:00 (0) 25.10.26 (60)")}) {
        bool wasChecked = false;
        onNextModal("ask-dst.png", [&, preselected = preselected, answer = answer](QDialog& dialog) {
            wasChecked = in<QRadioButton>(dialog, preselected)->isChecked();
            in<QRadioButton>(dialog, answer)->click();
            in<QPushButton>(dialog, dlg::AskDstSet)->click();
        });
        s.f.click(ctl::ClockSet);
        QVERIFY(wasChecked);
        QTRY_COMPARE(s.received.last(), QByteArray(sent));
    }

    // Sydney's rules in zone +10.00, summer time across the turn of the year: what the tz
    // database gives, the skipped hour refused, the repeated one asked and answered summer time.
    choose(d.control<QComboBox>(ctl::ZoneList), 31);
    for (const auto& [row, indexes] : {std::pair(ctl::kDstStartRow, std::array{0, 6, 9, 2}),
                                       std::pair(ctl::kDstStopRow, std::array{0, 6, 3, 3})})
        for (std::size_t i = 0; i < indexes.size(); ++i)
            choose(d.control<QComboBox>(row.lists()[i]), indexes[i]);
    const struct {
        int day, monthIndex;
        const char *typed, *asked, *sent;
    } sydney[] = {
        {15, 0, "120000", "", "!TIME_UTC 01:00:00 (4) 15.01.26 (600)"},
        {15, 6, "120000", "", "!TIME_UTC 02:00:00 (3) 15.07.26 (600)"},
        {4, 9, "023000", "Invalid Hour", nullptr},
        {5, 3, "023000", "Daylight Saving Time?", "!TIME_UTC 15:30:00 (6) 04.04.26 (600)"},
    };
    for (const auto& r : sydney) {
        QVERIFY(pick(r.day, r.monthIndex, 25));
        time->setCursorPosition(0);
        QTest::keyClicks(time, r.typed);
        QString asked;
        const QPointer<QTimer> watch = onNextModal("", [&](QDialog& dialog) {
            asked = dialog.windowTitle();
            if (auto* summer = in<QRadioButton>(dialog, dlg::AskDstSummer))
                summer->click();
        });
        const qsizetype mark = s.received.size();
        s.f.click(ctl::ClockSet);
        delete watch.data();
        s.f.click(ctl::ClockRead);
        QTRY_VERIFY(s.received.size() > mark && s.received.last() == "?TIME_UTC");
        QCOMPARE(asked, QLatin1String(r.asked));
        const QList<QByteArray> sent = {r.sent ? r.sent : "", "?TIME_UTC"};
        QCOMPARE(s.received.mid(mark), sent.mid(r.sent ? 0 : 1));
    }
}

QTEST_MAIN(TestDstDialogs)
#include "test_dst_dialogs.moc"
