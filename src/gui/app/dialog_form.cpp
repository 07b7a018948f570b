#include "gui/app/dialog_form.h"

#include "gui/app/log_list.h"
#include "gui/app/validators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <cmath>

namespace zek {

namespace {

// The log list scrolls sideways over this many pixels, whatever its lines hold.
constexpr int kListBoxExtentPx = 2000;

QString resourceText(const ControlSpec& spec) {
    return QString::fromLatin1(spec.text);
}

QValidator* makeValidator(const ControlSpec& spec, QObject* edit) {
    switch (spec.rule) {
    case InputRule::Range:
        return rangeValidator(spec.rangeMin, spec.rangeMax, spec.limit, edit);
    case InputRule::Hex:
        return hexValidator(spec.limit, edit);
    case InputRule::Time:
    case InputRule::None:
        break;
    }
    return spec.limit > 0 ? new LimitValidator(spec.limit, edit) : nullptr;
}

QLabel* makeLabel(const ControlSpec& spec, QWidget* parent) {
    auto* label = new QLabel(parent);
    // Module texts land in these labels: they must show literally, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(resourceText(spec));
    const Qt::Alignment horizontal = spec.kind == ControlKind::TextRight    ? Qt::AlignRight
                                     : spec.kind == ControlKind::TextCentre ? Qt::AlignHCenter
                                                                            : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignVCenter);
    label->setWordWrap(spec.kind == ControlKind::TextCentre);
    return label;
}

QLineEdit* makeEdit(const ControlSpec& spec, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    if (QValidator* validator = makeValidator(spec, edit))
        edit->setValidator(validator);
    edit->setText(resourceText(spec));
    edit->setReadOnly((spec.flags & ReadOnly) != 0);
    return edit;
}

QPushButton* makeButton(const ControlSpec& spec, QWidget* parent) {
    auto* button = new QPushButton(resourceText(spec), parent);
    // No button becomes the default by taking the focus; the resource's default buttons
    // keep their default look. In a QDialog the default button answers Enter; the main
    // window, a plain widget, presses it itself.
    button->setAutoDefault(false);
    button->setDefault(spec.kind == ControlKind::DefaultPushButton);
    return button;
}

// The one list box of the window is the log.
LogList* makeListBox(const ControlSpec& spec, QWidget* parent) {
    auto* list = new LogList(parent);
    if ((spec.flags & FixedFont) != 0) {
        QFont fixed = FixedPitchFont();
        if (parent->font().pointSizeF() > 0)
            fixed.setPointSizeF(parent->font().pointSizeF());
        list->setFont(fixed);
    }
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // With uniform sizes the view would measure the first line only; a fixed grid
    // gives every line the same wide cell, so long lines can be scrolled into view.
    list->setGridSize(QSize(kListBoxExtentPx, QFontMetrics(list->font()).height() + 1));
    return list;
}

QTreeWidget* makeTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setColumnCount(1);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // A long name, and the address after it, scroll into view sideways instead of being cut.
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The selected module stays marked while the user works in the panels.
    QPalette palette = tree->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    tree->setPalette(palette);
    return tree;
}

QWidget* createControl(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(resourceText(spec), parent);
    case ControlKind::Text:
    case ControlKind::TextRight:
    case ControlKind::TextCentre:
        return makeLabel(spec, parent);
    case ControlKind::Edit:
        return makeEdit(spec, parent);
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
        return makeButton(spec, parent);
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(resourceText(spec), parent);
        box->setChecked((spec.flags & Checked) != 0);
        return box;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(resourceText(spec), parent);
        radio->setChecked((spec.flags & Checked) != 0);
        return radio;
    }
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        return combo;
    }
    case ControlKind::ListBox:
        return makeListBox(spec, parent);
    case ControlKind::TreeView:
        return makeTree(parent);
    case ControlKind::EtchedLine: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    case ControlKind::BitmapStatic: {
        auto* bitmap = new QLabel(parent);
        bitmap->setTextFormat(Qt::PlainText);
        bitmap->hide();
        return bitmap;
    }
    case ControlKind::GlyphButton: {
        auto* glyph = new QPushButton(parent);
        glyph->setAutoDefault(false);
        glyph->hide();
        return glyph;
    }
    }
    return new QWidget(parent);
}

} // namespace

QFont FixedPitchFont() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(system).fixedPitch())
        return system;
    // A platform without a theme (offscreen, a bare FreeType font folder) names a
    // proportional face: any installed fixed-pitch family serves better.
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family))
            return QFont(family, system.pointSize());
    return system;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width52 =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // Whole pixels per base unit, rounded as dialog templates round them, so every
    // font maps a layout the way the dialog manager would.
    m_baseX = (width52 / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int DialogUnits::toX(int du) const {
    return static_cast<int>(std::lround(du * m_baseX / 4.0));
}

int DialogUnits::toY(int du) const {
    return static_cast<int>(std::lround(du * m_baseY / 8.0));
}

QRect DialogUnits::toPixels(int x, int y, int w, int h) const {
    return {toX(x), toY(y), toX(w), toY(h)};
}

DialogForm::DialogForm(QWidget* dialog, const DialogTemplate& dialogTemplate, const QFont& font)
    : m_dialog(dialog), m_units(font), m_sizeDu(dialogTemplate.widthDu, dialogTemplate.heightDu) {
    m_dialog->setFont(font);
    for (const ControlSpec& spec : dialogTemplate.controls) {
        QWidget* control = createControl(spec, m_dialog);
        control->setGeometry(m_units.toPixels(spec.x, spec.y, spec.w, spec.h));
        if ((spec.flags & Hidden) != 0)
            control->hide();
        if ((spec.flags & Disabled) != 0)
            control->setEnabled(false);
        if (spec.id != 0) {
            control->setObjectName(QString::number(spec.id));
            m_controls.insert(spec.id, control);
        }
    }
}

QSize DialogForm::fullSize() const {
    return {m_units.toX(m_sizeDu.width()), m_units.toY(m_sizeDu.height())};
}

} // namespace zek
