#include "core/app/control_ids.h"
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

const char* classOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::GroupBox:
        return "QGroupBox";
    case ControlKind::Text:
    case ControlKind::TextRight:
    case ControlKind::BitmapStatic:
        return "QLabel";
    case ControlKind::Edit:
        return "QLineEdit";
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::GlyphButton:
        return "QPushButton";
    case ControlKind::CheckBox:
        return "QCheckBox";
    case ControlKind::DropDownList:
        return "QComboBox";
    case ControlKind::ListBox:
        return "QListWidget";
    case ControlKind::TreeView:
        return "QTreeWidget";
    case ControlKind::EtchedLine:
        return "QFrame";
    }
    return "";
}

} // namespace

class TestDialogForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8)); }
    void init() {
        m_form = std::make_unique<DialogForm>(&m_dialog.emplace(), mainDialog(), QApplication::font());
    }
    void cleanup() {
        m_form.reset();
        m_dialog.reset();
    }

    void everyControlAsDeclared();
    void input_data();
    void input();
    void labelsShowMarkupLiterally();
    void dialogUnitsFollowTheFont();
    void gaugeDrawsItsValue();

private:
    std::optional<QWidget> m_dialog;
    std::unique_ptr<DialogForm> m_form;
};

void TestDialogForm::everyControlAsDeclared() {
    for (const ControlSpec& spec : controlInventory()) {
        if (spec.id == 0)
            continue;
        const QByteArray what = QByteArray::number(spec.id);
        QWidget* widget = m_form->widget(spec.id);
        QVERIFY2(widget != nullptr, what);
        QCOMPARE(m_dialog->findChild<QWidget*>(QString::number(spec.id)), widget);
        QVERIFY2(widget->inherits(classOf(spec.kind)), what);
        QCOMPARE(widget->isHidden(), (spec.flags & Hidden) != 0 || spec.kind == ControlKind::BitmapStatic ||
                                         spec.kind == ControlKind::GlyphButton);
        QCOMPARE(widget->isEnabled(), (spec.flags & Disabled) == 0);
        if (auto* box = qobject_cast<QCheckBox*>(widget))
            QCOMPARE(box->isChecked(), (spec.flags & Checked) != 0);
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

    row("octet 255", ctl::kIpEdits[0], 't', "255", "255", {});
    row("octet 256", ctl::kIpEdits[0], 't', "256", "25", octetRange);
    row("trap octet 999", ctl::kTrapRows[0].edits[3], 't', "999", "99", octetRange);
    row("octet letter", ctl::kNetmaskEdits[3], 't', "1a", "1", badChar);
    row("octet minus", ctl::kGatewayEdits[3], 't', "-1", "1", badChar);
    row("octet over limit", ctl::kIpEdits[3], 't', "0012", "001", {});
    row("port 65535", ctl::PortEdit, 't', "65535", "65535", {});
    row("port 65536", ctl::PortEdit, 't', "65536", "6553", portRange);
    row("mac g", ctl::kMacEdits[0], 't', "g", "", badChar);
    row("mac hex", ctl::kMacEdits[3], 't', "aF", "aF", {});
    row("mac over limit", ctl::kMacEdits[4], 't', "abc", "ab", {});
    row("eeprom address", ctl::EepromAddress, 't', "1fZ0", "1f0", badChar);
    row("eeprom value", ctl::EepromValue, 't', "x2", "2", badChar);
    row("name limit", ctl::NameEdit, 't', QString(40, u'n'), QString(31, u'n'), {});
    row("location limit", ctl::SnmpLocation, 't', QString(40, u'l'), QString(32, u'l'), {});
    // Pasted text is judged whole: it goes in entirely or not at all.
    row("pasted octet 300", ctl::kIpEdits[1], 'p', "300", "", octetRange);
    row("pasted octet 12", ctl::kIpEdits[1], 'p', "12", "12", {});
    row("pasted mac 0G", ctl::kMacEdits[1], 'p', "0G", "", badChar);
    // A module may carry a 32-character name; the user may type 31.
    row("program name", ctl::NameEdit, 's', QString(32, u'm'), QString(32, u'm'), {});
    row("program serial", ctl::SerialEdit, 's', "1234567", "1234567", {});
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

    auto* software = m_form->control<QLabel>(ctl::SoftwareText);
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
    const ControlSpec* log = findControlSpec(ctl::LogList);
    QCOMPARE(m_form->widget(ctl::LogList)->geometry(),
             m_form->units().toPixels(log->x, log->y, log->w, log->h));
    QVERIFY(QFontInfo(m_form->widget(ctl::LogList)->font()).fixedPitch());
    QVERIFY(m_form->control<QTreeWidget>(ctl::Tree)->isHeaderHidden());

    const QFont saved = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QWidget larger;
    DialogForm largerForm(&larger, mainDialog(), QApplication::font());
    QApplication::setFont(saved);
    QVERIFY(largerForm.fullSize().width() > full.width() && largerForm.fullSize().height() > full.height());
}

void TestDialogForm::gaugeDrawsItsValue() {
    LedGauge gauge;
    QCOMPARE(gauge.objectName(), QString::number(ctl::Gauge));
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
