#include "gui/app/control_inventory.h"
#include "gui/app/dialog_form.h"
#include "gui/app/led_gauge.h"
#include "gui/app/validators.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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

// Controls that lie outside every group: the view button, the logo placeholder and
// the bitmap static parked left of the dialog.
const QSet<int> kOutsideGroups = {5065, 5220, 5059};

// Height of a group's title band, in dialog units, that controls keep clear of.
constexpr int kGroupTitleDu = 8;

} // namespace

class TestDialogForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlMatchesInventory_data();
    void controlMatchesInventory();
    void initialState_data();
    void initialState();
    void idsAreUnique();
    void controlsLieInsideTheirGroups();
    void visibleControlsDoNotOverlap();
    void typedInput_data();
    void typedInput();
    void pastedTextIsJudgedWhole();
    void programTextIsNotCutToTheTypingLimit();
    void labelsShowMarkupLiterally();
    void dialogUnitsFollowTheFont();
    void gaugeDrawsItsValue();

private:
    std::unique_ptr<QWidget> m_dialog;
    std::unique_ptr<DialogForm> m_form;
};

void TestDialogForm::initTestCase() {
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
}

void TestDialogForm::init() {
    m_dialog = std::make_unique<QWidget>();
    m_form = std::make_unique<DialogForm>(m_dialog.get());
}

void TestDialogForm::cleanup() {
    m_form.reset();
    m_dialog.reset();
}

void TestDialogForm::controlMatchesInventory_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");

    const auto row = [](const char* name, int id, const char* className, const char* text, int limit) {
        QTest::newRow(name) << id << QString::fromLatin1(className) << QString::fromLatin1(text) << limit;
    };
    row("group socket", 5184, "QGroupBox", "Socket Communication", 0);
    row("group debug", 5003, "QGroupBox", "TCP/IP Debug Send/Receive", 0);
    row("ip octet", 5053, "QLineEdit", "0", 3);
    row("trap 3 octet", 5191, "QLineEdit", "0", 3);
    row("port", 5009, "QLineEdit", "0", 5);
    row("serial", 5075, "QLineEdit", "0", 3);
    row("mac byte", 5036, "QLineEdit", "0", 2);
    row("name", 5034, "QLineEdit", "?", 31);
    row("snmp location", 5200, "QLineEdit", "?", 32);
    row("eeprom address", 5067, "QLineEdit", "", 3);
    row("eeprom value", 5069, "QLineEdit", "", 2);
    row("time entry", 5159, "QLineEdit", "00:00:00 ", 9);
    row("date entry", 5214, "QLineEdit", "01.01.10 ", 0);
    row("search", 5064, "QPushButton", "Search", 0);
    row("set mac", 5066, "QPushButton", "Set MAC", 0);
    row("dhcp", 5054, "QCheckBox", "Use DHCP", 0);
    row("feature D", 5208, "QCheckBox", "D", 0);
    row("interfaces", 5026, "QComboBox", "", 0);
    row("dst stop hour", 5132, "QComboBox", "", 0);
    row("tree", 5150, "QTreeWidget", "", 0);
    row("log", 5010, "QListWidget", "", 0);
    row("timezone label", 5158, "QLabel", "Timezone:", 0);
    row("total out", 5012, "QLabel", "Gesamt Out", 0);
    row("state", 5005, "QLabel", "State: Idle", 0);
    row("etched", 5183, "QFrame", "", 0);
    row("glyph", 5206, "QPushButton", "", 0);
}

void TestDialogForm::controlMatchesInventory() {
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(int, limit);

    QWidget* widget = m_form->widget(id);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->objectName(), QString::number(id));
    QCOMPARE(m_dialog->findChild<QWidget*>(QString::number(id)), widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);

    QString shown;
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        shown = box->title();
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        shown = edit->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        shown = button->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        shown = label->text();
    QCOMPARE(shown, text);

    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        auto* validator = qobject_cast<const LimitValidator*>(edit->validator());
        QCOMPARE(validator != nullptr ? validator->limit() : 0, limit);
    }
}

void TestDialogForm::initialState_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("marked"); // read-only for an edit, checked for a box

    QTest::newRow("view button") << 5065 << true << true << false;
    QTest::newRow("bitmap static") << 5059 << true << true << false;
    QTest::newRow("glyph") << 5206 << true << false << false;
    QTest::newRow("device list") << 5060 << true << true << false;
    QTest::newRow("hidden clear") << 5008 << true << true << false;
    QTest::newRow("device local time") << 5182 << false << false << false;
    QTest::newRow("serial") << 5075 << false << true << true;
    QTest::newRow("zek utc") << 5179 << false << true << true;
    QTest::newRow("name") << 5034 << false << true << false;
    QTest::newRow("auto read") << 5192 << false << true << true;
    QTest::newRow("pc time") << 5160 << false << true << true;
    QTest::newRow("search") << 5064 << false << true << false;
}

void TestDialogForm::initialState() {
    QFETCH(int, id);
    QFETCH(bool, hidden);
    QFETCH(bool, enabled);
    QFETCH(bool, marked);

    QWidget* widget = m_form->widget(id);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->isHidden(), hidden);
    QCOMPARE(widget->isEnabled(), enabled);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QCOMPARE(edit->isReadOnly(), marked);
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        QCOMPARE(box->isChecked(), marked);
    else
        QVERIFY(!marked);
}

void TestDialogForm::idsAreUnique() {
    QSet<int> seen;
    for (const ControlSpec& spec : controlInventory()) {
        if (spec.id == 0)
            continue;
        QVERIFY2(!seen.contains(spec.id), qPrintable(QString::number(spec.id)));
        seen.insert(spec.id);
        QCOMPARE(findControlSpec(spec.id), &spec);
        QVERIFY(m_form->widget(spec.id) != nullptr);
    }
    QCOMPARE(findControlSpec(0), nullptr);
    QCOMPARE(findControlSpec(4999), nullptr);

    // Every control that the view toggle hides, plus "Set MAC", and nothing else.
    const QSet<int> compactHidden = {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108, 5109,
                                     5202, 5201, 5135, 5140, 5137, 5139, 5136, 5138, 5077, 5078,
                                     5111, 5035, 5193, 5194, 5179, 5180, 5119, 5121, 5066};
    QSet<int> flagged;
    for (const ControlSpec& spec : controlInventory()) {
        if ((spec.flags & HiddenInCompact) != 0)
            flagged.insert(spec.id);
    }
    QCOMPARE(flagged, compactHidden);
}

void TestDialogForm::controlsLieInsideTheirGroups() {
    QList<const ControlSpec*> groups;
    for (const ControlSpec& spec : controlInventory()) {
        if (spec.kind == ControlKind::GroupBox)
            groups.append(&spec);
    }
    QCOMPARE(groups.size(), 7);

    for (const ControlSpec& spec : controlInventory()) {
        if (spec.kind == ControlKind::GroupBox)
            continue;
        const QRect control = duRect(spec);
        const ControlSpec* owner = nullptr;
        for (const ControlSpec* group : groups) {
            if (duRect(*group).contains(control.center()))
                owner = group;
        }
        const QString where = QStringLiteral("%1 '%2'").arg(spec.id).arg(QString::fromLatin1(spec.text));
        if (owner == nullptr) {
            QVERIFY2(kOutsideGroups.contains(spec.id), qPrintable(where));
            continue;
        }
        const QRect inner = duRect(*owner).adjusted(1, kGroupTitleDu, -1, -1);
        QVERIFY2(inner.contains(control), qPrintable(where));
    }
}

void TestDialogForm::visibleControlsDoNotOverlap() {
    const auto all = controlInventory();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const ControlSpec& a = all[i];
        if (a.kind == ControlKind::GroupBox || (a.flags & Hidden) != 0)
            continue;
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            const ControlSpec& b = all[j];
            if (b.kind == ControlKind::GroupBox || (b.flags & Hidden) != 0)
                continue;
            QVERIFY2(!duRect(a).intersects(duRect(b)), qPrintable(QStringLiteral("%1 '%2' and %3 '%4'")
                                                                      .arg(a.id)
                                                                      .arg(QString::fromLatin1(a.text))
                                                                      .arg(b.id)
                                                                      .arg(QString::fromLatin1(b.text))));
        }
    }
}

void TestDialogForm::typedInput_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("message");

    const QString octetRange = QStringLiteral("Value is not in the range 0 to 255.");
    const QString portRange = QStringLiteral("Value is not in the range 0 to 65535.");
    const QString badChar = QStringLiteral("Invalid character in input");
    const auto row = [](const char* name, int id, const QString& typed, const QString& expected,
                        const QString& message) {
        QTest::newRow(name) << id << typed << expected << message;
    };

    row("octet 255", 5053, "255", "255", {});
    row("octet 256", 5053, "256", "25", octetRange);
    row("trap octet 999", 5098, "999", "99", octetRange);
    row("octet letter", 5046, "1a", "1", badChar);
    row("octet minus", 5042, "-1", "1", badChar);
    row("octet over limit", 5050, "0012", "001", {});
    row("port 65535", 5009, "65535", "65535", {});
    row("port 65536", 5009, "65536", "6553", portRange);
    row("mac g", 5041, "g", "", badChar);
    row("mac hex", 5038, "aF", "aF", {});
    row("mac over limit", 5037, "abc", "ab", {});
    row("eeprom address", 5067, "1fZ0", "1f0", badChar);
    row("eeprom value", 5069, "x2", "2", badChar);
    row("name limit", 5034, QString(40, u'n'), QString(31, u'n'), {});
    row("location limit", 5200, QString(40, u'l'), QString(32, u'l'), {});
}

void TestDialogForm::typedInput() {
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(QString, message);

    auto* edit = m_form->control<QLineEdit>(id);
    QVERIFY(edit != nullptr);
    auto* validator = qobject_cast<const LimitValidator*>(edit->validator());
    QVERIFY(validator != nullptr);
    QSignalSpy refusals(validator, &LimitValidator::refused);

    edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
    if (message.isEmpty()) {
        QCOMPARE(refusals.count(), 0);
    } else {
        QVERIFY(refusals.count() >= 1);
        QCOMPARE(refusals.last().at(0).toString(), message);
    }
}

void TestDialogForm::pastedTextIsJudgedWhole() {
    auto* octet = m_form->control<QLineEdit>(5052);
    QSignalSpy refusals(qobject_cast<const LimitValidator*>(octet->validator()), &LimitValidator::refused);
    octet->clear();
    octet->insert(QStringLiteral("300"));
    QCOMPARE(octet->text(), QString());
    QCOMPARE(refusals.count(), 1);
    QCOMPARE(refusals.last().at(0).toString(), QStringLiteral("Value is not in the range 0 to 255."));
    octet->insert(QStringLiteral("12"));
    QCOMPARE(octet->text(), QStringLiteral("12"));

    auto* mac = m_form->control<QLineEdit>(5040);
    mac->clear();
    mac->insert(QStringLiteral("0G"));
    QCOMPARE(mac->text(), QString());
}

void TestDialogForm::programTextIsNotCutToTheTypingLimit() {
    // A module may carry a 32-character name; the user may type 31.
    auto* name = m_form->control<QLineEdit>(5034);
    const QString moduleName(32, u'm');
    name->setText(moduleName);
    QCOMPARE(name->text(), moduleName);

    auto* serial = m_form->control<QLineEdit>(5075);
    serial->setText(QStringLiteral("1234567"));
    QCOMPARE(serial->text(), QStringLiteral("1234567"));
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
    QCOMPARE(m_dialog->font().family(), QStringLiteral("DejaVu Sans"));
    const QSize full = m_form->fullSize();
    QVERIFY2(full.width() >= 1000 && full.width() <= 1400, qPrintable(QString::number(full.width())));
    QVERIFY2(full.height() >= 700 && full.height() <= 950, qPrintable(QString::number(full.height())));

    // Geometry follows the mapping, so a control keeps its place relative to the dialog.
    const ControlSpec* log = findControlSpec(5010);
    QCOMPARE(m_form->widget(5010)->geometry(), m_form->units().toPixels(log->x, log->y, log->w, log->h));
    QVERIFY(QFontInfo(m_form->widget(5010)->font()).fixedPitch());
    QVERIFY(m_form->control<QTreeWidget>(5150)->isHeaderHidden());

    // A larger font makes a larger dialog.
    const QFont saved = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QWidget larger;
    DialogForm largerForm(&larger);
    QApplication::setFont(saved);
    QVERIFY(largerForm.fullSize().width() > full.width());
    QVERIFY(largerForm.fullSize().height() > full.height());
}

void TestDialogForm::gaugeDrawsItsValue() {
    LedGauge gauge;
    QCOMPARE(gauge.objectName(), QStringLiteral("1500"));
    QCOMPARE(gauge.size(), QSize(210, 20));
    gauge.setBarColor(Qt::green);
    gauge.setValue(50);
    QCOMPARE(gauge.text(), QStringLiteral("50%"));

    // The lit half is green at its segments, the dark half nowhere; row 3 stays
    // clear of the centred label.
    const QImage image = gauge.grab().toImage();
    int litLeft = 0;
    int litRight = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, 3) == QColor(Qt::green))
            ++(x < image.width() / 2 ? litLeft : litRight);
    }
    QVERIFY2(litLeft > 80 && litLeft < 104, qPrintable(QString::number(litLeft)));
    QCOMPARE(litRight, 0);

    gauge.setValue(150);
    QCOMPARE(gauge.value(), 100);
    gauge.setValue(-3);
    QCOMPARE(gauge.value(), 0);
    QCOMPARE(gauge.text(), QStringLiteral("0%"));
}

QTEST_MAIN(TestDialogForm)
#include "test_dialog_form.moc"
