#pragma once

#include "gui/clock/dst_dialogs.h"

namespace zek {

// The date picker's record: the day, month and year lists, the caption and Set's caption
// (200 characters).
struct TTransferStructDateSettings {
    TComboBoxData day;
    TComboBoxData month;
    TComboBoxData year;
    QString caption;
    QString setCaption;
};

// The date picker (dlg::Date): a day is chosen in the day list or by its button; the chosen day's button
// is bright green (dark green while pressed), the others light grey, the days the month
// lacks hidden.
class TDateDialog : public ClockDialog {
public:
    TDateDialog(QWidget* parent, TTransferStructDateSettings& record);
    void done(int result) override;

    void UpdateDayGrid();

private:
    void chooseDay(int day);

    TTransferStructDateSettings& m_record;
};

} // namespace zek
