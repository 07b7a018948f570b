#include "gui/clock/date_dialog.h"

#include "core/app/control_ids.h"
#include "core/app/dialog_inventories.h"
#include "core/clock/date_picker.h"
#include "gui/app/dialog_form.h"
#include "gui/app/text_codec.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace zek {

namespace {

const QString kChosenLook =
    QStringLiteral("QPushButton { background: rgb(0, 255, 0); border: 1px solid gray; }"
                   "QPushButton:pressed { background: rgb(0, 128, 0); }");
const QString kPlainLook =
    QStringLiteral("QPushButton { background: rgb(192, 192, 192); border: 1px solid gray; }");

} // namespace

TDateDialog::TDateDialog(QWidget* parent, TTransferStructDateSettings& record)
    : ClockDialog(parent, dlg::Date, dateDialog(), recordText(record.caption), "Date"), m_record(record) {
    const std::pair<int, const TComboBoxData*> lists[] = {
        {dlg::DateDay, &record.day}, {dlg::DateMonth, &record.month}, {dlg::DateYear, &record.year}};
    for (const auto& [id, data] : lists) {
        auto* combo = form().control<QComboBox>(id);
        data->fill(*combo);
        connect(combo, &QComboBox::activated, this, &TDateDialog::UpdateDayGrid);
    }
    setText(dlg::DateSet, recordText(record.setCaption, 200));
    for (int day = 1; day <= kDayButtons; ++day) {
        for (const int id : {dlg::dayButton(day), dlg::plainDayButton(day)})
            connect(form().control<QPushButton>(id), &QPushButton::clicked, this,
                    [this, day] { chooseDay(day); });
        form().widget(dlg::plainDayButton(day))->hide();
    }
    closeOn(dlg::DateSet);
    UpdateDayGrid();
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(245, 245, 245));
    setPalette(background);
}

void TDateDialog::UpdateDayGrid() {
    auto* days = form().control<QComboBox>(dlg::DateDay);
    const DayGrid grid =
        zek::UpdateDayGrid(days->currentIndex(), form().control<QComboBox>(dlg::DateMonth)->currentIndex(),
                           form().control<QComboBox>(dlg::DateYear)->currentIndex());
    {
        const QSignalBlocker quiet(days);
        days->clear();
        days->addItems(toItems(dayItems(grid.dayCount)));
        days->setCurrentIndex(grid.chosenDay - 1);
    }
    for (int day = 1; day <= kDayButtons; ++day) {
        QWidget* button = form().widget(dlg::dayButton(day));
        const DayLook look = grid.look(day);
        if (look == DayLook::Hidden) {
            button->hide();
            form().widget(dlg::plainDayButton(day))->hide();
            continue;
        }
        button->setStyleSheet(look == DayLook::Chosen ? kChosenLook : kPlainLook);
        button->show();
        button->update();
    }
}

void TDateDialog::chooseDay(int day) {
    form().control<QComboBox>(dlg::DateDay)->setCurrentIndex(day - 1);
    UpdateDayGrid();
}

void TDateDialog::done(int result) {
    m_record.day.selected = form().control<QComboBox>(dlg::DateDay)->currentIndex();
    m_record.month.selected = form().control<QComboBox>(dlg::DateMonth)->currentIndex();
    m_record.year.selected = form().control<QComboBox>(dlg::DateYear)->currentIndex();
    ClockDialog::done(result);
}

} // namespace zek
