#include "core/app/control_inventory.h"
#include "gui/app/dialog_form.h"
#include "gui/app/led_gauge.h"
#include "gui/app/validators.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace zek;

namespace {

QRect duRect(const ControlSpec& spec) {
    return {spec.x, spec.y, spec.w, spec.h};
}

QByteArray describe(const ControlSpec& spec) {
    return QByteArray::number(spec.id) + " '" + spec.text + "'";
}

// Controls that lie outside every group: the view button, the logo placeholder and
// the bitmap static parked left of the dialog.
const QSet<int> kOutsideGroups = {5065, 5220, 5059};

// Every control that the view toggle hides, plus "Set MAC", and nothing else.
const QSet<int> kCompactHidden = {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108, 5109,
                                  5202, 5201, 5135, 5140, 5137, 5139, 5136, 5138, 5077, 5078,
                                  5111, 5035, 5193, 5194, 5179, 5180, 5119, 5121, 5066};

// Height of a group's title band, in dialog units, that controls keep clear of.
constexpr int kGroupTitleDu = 8;

} // namespace

class TestDialogForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8)); }
    void init() { m_form = std::make_unique<DialogForm>(&m_dialog.emplace()); }
    void cleanup() {
        m_form.reset();
        m_dialog.reset();
    }

    void sampleControls_data();
    void sampleControls();
    void inventory();
    void input_data();
    void input();
    void labelsShowMarkupLiterally();
    void dialogUnitsFollowTheFont();
    void gaugeDrawsItsValue();

private:
    std::optional<QWidget> m_dialog;
    std::unique_ptr<DialogForm> m_form;
};

void TestDialogForm::sampleControls_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    // Initial state: h hidden, d disabled, r read-only edit, c checked box.
    QTest::addColumn<QString>("state");

    const auto row = [](int id, const char* className, const char* text, int limit, const char* state) {
        QTest::newRow(qPrintable(QString::number(id)))
            << id << QString::fromLatin1(className) << QString::fromLatin1(text) << limit
            << QString::fromLatin1(state);
    };
    row(5184, "QGroupBox", "Socket Communication", 0, "");
    row(5003, "QGroupBox", "TCP/IP Debug Send/Receive", 0, "");
    row(5053, "QLineEdit", "0", 3, "");
    row(5009, "QLineEdit", "0", 5, "");
    row(5075, "QLineEdit", "0", 3, "r");
    row(5036, "QLineEdit", "0", 2, "");
    row(5034, "QLineEdit", "?", 31, "");
    row(5200, "QLineEdit", "?", 32, "");
    row(5067, "QLineEdit", "", 3, "");
    row(5159, "QLineEdit", "00:00:00 ", 9, "");
    row(5214, "QLineEdit", "01.01.10 ", 0, "");
    row(5179, "", "", 0, "r");
    row(5182, "", "", 0, "d");
    row(5064, "QPushButton", "Search", 0, "");
    row(5066, "QPushButton", "Set MAC", 0, "");
    row(5206, "QPushButton", "", 0, "hd");
    row(5054, "QCheckBox", "Use DHCP", 0, "");
    row(5192, "", "", 0, "c");
    row(5160, "", "", 0, "c");
    row(5026, "QComboBox", "", 0, "");
    row(5150, "QTreeWidget", "", 0, "");
    row(5010, "QListWidget", "", 0, "");
    row(5158, "QLabel", "Timezone:", 0, "");
    row(5012, "QLabel", "Gesamt Out", 0, "");
    row(5005, "QLabel", "State: Idle", 0, "");
    row(5183, "QFrame", "", 0, "");
    for (const int hidden : {5065, 5059, 5060, 5008})
        row(hidden, "", "", 0, "h");
}

// An empty class leaves class, text and limit unchecked.
void TestDialogForm::sampleControls() {
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QString, state);

    QWidget* widget = m_form->widget(id);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->objectName(), QString::number(id));
    QCOMPARE(m_dialog->findChild<QWidget*>(QString::number(id)), widget);
    QCOMPARE(widget->isHidden(), state.contains(u'h'));
    QCOMPARE(widget->isEnabled(), !state.contains(u'd'));
    auto* edit = qobject_cast<QLineEdit*>(widget);
    if (edit != nullptr)
        QCOMPARE(edit->isReadOnly(), state.contains(u'r'));
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        QCOMPARE(box->isChecked(), state.contains(u'c'));
    if (className.isEmpty())
        return;
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->property(qobject_cast<QGroupBox*>(widget) ? "title" : "text").toString(), text);
    if (edit != nullptr) {
        auto* validator = qobject_cast<const LimitValidator*>(edit->validator());
        QCOMPARE(validator != nullptr ? validator->limit() : 0, limit);
    }
}

void TestDialogForm::inventory() {
    QList<QRect> groups;
    for (const ControlSpec& spec : controlInventory()) {
        if (spec.kind == ControlKind::GroupBox)
            groups.append(duRect(spec));
    }
    QCOMPARE(groups.size(), 7);
    QCOMPARE(findControlSpec(0), nullptr);
    QCOMPARE(findControlSpec(4999), nullptr);

    const auto all = controlInventory();
    QSet<int> seen;
    QSet<int> compact;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const ControlSpec& a = all[i];
        if (a.id != 0) {
            QVERIFY2(!seen.contains(a.id), describe(a));
            seen.insert(a.id);
            QCOMPARE(findControlSpec(a.id), &a);
            QVERIFY(m_form->widget(a.id) != nullptr);
        }
        if ((a.flags & HiddenInCompact) != 0)
            compact.insert(a.id);
        if (a.kind == ControlKind::GroupBox)
            continue;
        // A control lies clear inside the group that holds its centre, or is one of the few outside.
        const QRect* owner = nullptr;
        for (const QRect& group : std::as_const(groups)) {
            if (group.contains(duRect(a).center()))
                owner = &group;
        }
        if (owner == nullptr)
            QVERIFY2(kOutsideGroups.contains(a.id), describe(a));
        else
            QVERIFY2(owner->adjusted(1, kGroupTitleDu, -1, -1).contains(duRect(a)), describe(a));
        if ((a.flags & Hidden) != 0)
            continue;
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            const ControlSpec& b = all[j];
            if (b.kind != ControlKind::GroupBox && (b.flags & Hidden) == 0)
                QVERIFY2(!duRect(a).intersects(duRect(b)), describe(a) + " and " + describe(b));
        }
    }
    QCOMPARE(compact, kCompactHidden);
}

void TestDialogForm::input_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<char>("how"); // t typed key by key, p pasted whole, s set by the program
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("message");

    const QString octetRange = QStringLiteral("Value is not in the range 0 to 255.");
    const QString portRange = QStringLiteral("Value is not in the range 0 to 65535.");
    const QString badChar = QStringLiteral("Invalid character in input");
    const auto row = [](const char* name, int id, char how, const QString& input, const QString& expected,
                        const QString& message) {
        QTest::newRow(name) << id << how << input << expected << message;
    };

    row("octet 255", 5053, 't', "255", "255", {});
    row("octet 256", 5053, 't', "256", "25", octetRange);
    row("trap octet 999", 5098, 't', "999", "99", octetRange);
    row("octet letter", 5046, 't', "1a", "1", badChar);
    row("octet minus", 5042, 't', "-1", "1", badChar);
    row("octet over limit", 5050, 't', "0012", "001", {});
    row("port 65535", 5009, 't', "65535", "65535", {});
    row("port 65536", 5009, 't', "65536", "6553", portRange);
    row("mac g", 5041, 't', "g", "", badChar);
    row("mac hex", 5038, 't', "aF", "aF", {});
    row("mac over limit", 5037, 't', "abc", "ab", {});
    row("eeprom address", 5067, 't', "1fZ0", "1f0", badChar);
    row("eeprom value", 5069, 't', "x2", "2", badChar);
    row("name limit", 5034, 't', QString(40, u'n'), QString(31, u'n'), {});
    row("location limit", 5200, 't', QString(40, u'l'), QString(32, u'l'), {});
    // Pasted text is judged whole: it goes in entirely or not at all.
    row("pasted octet 300", 5052, 'p', "300", "", octetRange);
    row("pasted octet 12", 5052, 'p', "12", "12", {});
    row("pasted mac 0G", 5040, 'p', "0G", "", badChar);
    // A module may carry a 32-character name; the user may type 31.
    row("program name", 5034, 's', QString(32, u'm'), QString(32, u'm'), {});
    row("program serial", 5075, 's', "1234567", "1234567", {});
}

void TestDialogForm::input() {
    QFETCH(int, id);
    QFETCH(char, how);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(QString, message);

    auto* edit = m_form->control<QLineEdit>(id);
    QVERIFY(edit != nullptr);
    auto* validator = qobject_cast<const LimitValidator*>(edit->validator());
    QVERIFY(validator != nullptr);
    QSignalSpy refusals(validator, &LimitValidator::refused);

    edit->clear();
    if (how == 's')
        edit->setText(input);
    else if (how == 'p')
        edit->insert(input);
    else
        QTest::keyClicks(edit, input);
    QCOMPARE(edit->text(), expected);
    if (message.isEmpty()) {
        QCOMPARE(refusals.count(), 0);
    } else {
        QVERIFY(refusals.count() >= 1);
        QCOMPARE(refusals.last().at(0).toString(), message);
    }
}

void TestDialogForm::labelsShowMarkupLiterally() {
    for (QLabel* label : m_dialog->findChildren<QLabel*>())
        QCOMPARE(label->textFormat(), Qt::PlainText);

    auto* software = m_form->control<QLabel>(5078);
    software->setText(QStringLiteral("<b>x</b>"));
    QCOMPARE(software->text(), QStringLiteral("<b>x</b>"));
    QLabel reference;
    reference.setFont(software->font());
    reference.setText(QStringLiteral("x"));
    QVERIFY(software->sizeHint().width() > 3 * reference.sizeHint().width());
}

void TestDialogForm::dialogUnitsFollowTheFont() {
    const QSize full = m_form->fullSize();
    QVERIFY2(full.width() >= 1000 && full.width() <= 1400, qPrintable(QString::number(full.width())));
    QVERIFY2(full.height() >= 700 && full.height() <= 950, qPrintable(QString::number(full.height())));
    const ControlSpec* log = findControlSpec(5010);
    QCOMPARE(m_form->widget(5010)->geometry(), m_form->units().toPixels(log->x, log->y, log->w, log->h));
    QVERIFY(QFontInfo(m_form->widget(5010)->font()).fixedPitch());
    QVERIFY(m_form->control<QTreeWidget>(5150)->isHeaderHidden());

    const QFont saved = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QWidget larger;
    DialogForm largerForm(&larger);
    QApplication::setFont(saved);
    QVERIFY(largerForm.fullSize().width() > full.width() && largerForm.fullSize().height() > full.height());
}

void TestDialogForm::gaugeDrawsItsValue() {
    LedGauge gauge;
    QCOMPARE(gauge.objectName(), QStringLiteral("1500"));
    QCOMPARE(gauge.size(), QSize(210, 20));
    gauge.setBarColor(Qt::green);
    gauge.setValue(50);
    QCOMPARE(gauge.text(), QStringLiteral("50%"));
    // The lit half is green at its segments, the dark half nowhere; row 3 stays clear of the label.
    const QImage image = gauge.grab().toImage();
    int lit[2] = {0, 0};
    for (int x = 0; x < image.width(); ++x)
        lit[x >= image.width() / 2] += image.pixelColor(x, 3) == QColor(Qt::green) ? 1 : 0;
    QVERIFY2(lit[0] > 80 && lit[0] < 104 && lit[1] == 0,
             qPrintable(QStringLiteral("%1 %2").arg(lit[0]).arg(lit[1])));
    gauge.setValue(150);
    QCOMPARE(gauge.value(), 100);
    gauge.setValue(-3);
    QCOMPARE(gauge.text(), QStringLiteral("0%"));
}

QTEST_MAIN(TestDialogForm)
#include "test_dialog_form.moc"
