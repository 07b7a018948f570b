#include "gui/clock/dst_dialogs.h"

#include "core/app/control_ids.h"
#include "core/app/dialog_inventories.h"
#include "core/clock/dst_window.h"
#include "gui/app/dialog_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

namespace zek {

TComboBoxData TComboBoxData::of(const QComboBox& combo) {
    TComboBoxData data;
    for (int i = 0; i < combo.count(); ++i)
        data.items << combo.itemText(i);
    data.selected = combo.currentIndex();
    return data;
}

void TComboBoxData::fill(QComboBox& combo) const {
    const QSignalBlocker quiet(combo);
    combo.clear();
    combo.addItems(items);
    combo.setCurrentIndex(selected >= 0 && selected < combo.count() ? selected : -1);
}

QString recordText(const QString& text, int room) {
    return text.left(room - 1);
}

ClockDialog::ClockDialog(QWidget* parent, int resourceId, const DialogTemplate& dialogTemplate,
                         const QString& caption, const char* resourceCaption)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_form(std::make_unique<DialogForm>(this, dialogTemplate, QApplication::font())) {
    setObjectName(QString::number(resourceId));
    setModal(true);
    setWindowTitle(caption.isEmpty() ? QString::fromLatin1(resourceCaption) : caption);
    QIcon icon;
    icon.addFile(QStringLiteral(":/zekconfig16.png"));
    icon.addFile(QStringLiteral(":/zekconfig.png"));
    setWindowIcon(icon);
    setFixedSize(m_form->fullSize());
}

ClockDialog::~ClockDialog() = default;

void ClockDialog::setText(int id, const QString& text) const {
    if (text.isEmpty())
        return;
    QWidget* control = m_form->widget(id);
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (control)
        control->setProperty("title", text);
}

void ClockDialog::closeOn(int setButton) {
    connect(m_form->control<QAbstractButton>(setButton), &QAbstractButton::clicked, this, &QDialog::accept);
}

TDSTDialog::TDSTDialog(QWidget* parent, TTransferStructDSTSettings& record, int pcYear)
    : ClockDialog(parent, dlg::DstSettings, dstSettingsDialog(), recordText(record.caption), "DST Settings"),
      m_record(record), m_pcYear(pcYear) {
    setText(dlg::kDstStartRow.label, recordText(record.startLabel));
    setText(dlg::kDstStopRow.label, recordText(record.stopLabel));
    setText(dlg::DstSet, recordText(record.setCaption, 200));
    for (std::size_t row = 0; row < dlg::kDstRows.size(); ++row) {
        const auto lists = dlg::kDstRows[row].lists();
        for (std::size_t field = 0; field < lists.size(); ++field) {
            auto* combo = form().control<QComboBox>(lists[field]);
            record.lists[TTransferStructDSTSettings::slot(row, field)].fill(*combo);
            connect(combo, &QComboBox::activated, this, [this, row] { updatePreview(row); });
        }
        updatePreview(row);
    }
    closeOn(dlg::DstSet);
}

void TDSTDialog::updatePreview(std::size_t row) {
    const dlg::DstDialogRow& controls = dlg::kDstRows[row];
    DstRuleIndexes indexes{};
    for (std::size_t field = 0; field < indexes.size(); ++field)
        indexes[field] = form().control<QComboBox>(controls.lists()[field])->currentIndex();
    // The hour does not enter the preview: any valid one will do.
    indexes[3] = 0;
    form()
        .control<QLabel>(controls.preview)
        ->setText(QString::fromStdString(dialogRulePreview(DstRule::fromIndexes(indexes), m_pcYear)));
}

void TDSTDialog::done(int result) {
    for (std::size_t row = 0; row < dlg::kDstRows.size(); ++row) {
        const auto lists = dlg::kDstRows[row].lists();
        for (std::size_t field = 0; field < lists.size(); ++field)
            m_record.lists[TTransferStructDSTSettings::slot(row, field)].selected =
                form().control<QComboBox>(lists[field])->currentIndex();
    }
    ClockDialog::done(result);
}

TAskDSTDialog::TAskDSTDialog(QWidget* parent, TAskDstRecord& record)
    : ClockDialog(parent, dlg::AskDst, askDstDialog(), recordText(record.caption), "Ask DST Settings"),
      m_record(record) {
    setText(dlg::AskDstGroup, recordText(record.group));
    setText(dlg::AskDstSummer, recordText(record.summerText));
    setText(dlg::AskDstWinter, recordText(record.winterText));
    setText(dlg::AskDstSet, recordText(record.setCaption, 200));
    form().control<QRadioButton>(dlg::AskDstSummer)->setChecked(record.summerChecked == 1);
    form().control<QRadioButton>(dlg::AskDstWinter)->setChecked(record.winterChecked == 1);
    closeOn(dlg::AskDstSet);
}

void TAskDSTDialog::done(int result) {
    m_record.summerChecked = form().control<QRadioButton>(dlg::AskDstSummer)->isChecked() ? 1 : 0;
    m_record.winterChecked = form().control<QRadioButton>(dlg::AskDstWinter)->isChecked() ? 1 : 0;
    ClockDialog::done(result);
}

TAskInvalidHourDialog::TAskInvalidHourDialog(QWidget* parent, const TAskInvalidHourRecord& record)
    : ClockDialog(parent, dlg::AskInvalidHour, askInvalidHourDialog(), recordText(record.caption),
                  "Ask Invalid Hour") {
    setText(dlg::AskInvalidHourSet, recordText(record.button));
    setText(dlg::AskInvalidHourText, recordText(record.message));
    closeOn(dlg::AskInvalidHourSet);
}

} // namespace zek
