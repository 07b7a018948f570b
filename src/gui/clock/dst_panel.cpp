#include "gui/clock/dst_panel.h"

#include "core/app/control_ids.h"
#include "core/clock/date_picker.h"
#include "core/clock/dst_window.h"
#include "core/settings/language_texts.h"
#include "gui/app/text_codec.h"
#include "gui/clock/date_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace zek {

namespace {

const ctl::DstRuleControls& rowControls(DstRuleRow row) {
    return row == DstRuleRow::Start ? ctl::kDstStartRow : ctl::kDstStopRow;
}

} // namespace

DstPanel::DstPanel(Wiring wiring) : m_w(std::move(wiring)) {}

void DstPanel::setupControls() {
    // The rule rows' hour lists; their defaults are the usual switch hours 02:00 and 03:00.
    for (const ctl::DstRuleControls& row : ctl::kDstRuleRows) {
        auto* hours = m_w.view.control<QComboBox>(row.hour);
        for (int hour = 0; hour < 24; ++hour)
            hours->addItem(QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
    }
    m_w.view.control<QComboBox>(ctl::kDstStartRow.hour)->setCurrentIndex(2);
    m_w.view.control<QComboBox>(ctl::kDstStopRow.hour)->setCurrentIndex(3);
    for (const DstRuleRow row : {DstRuleRow::Start, DstRuleRow::Stop})
        for (const int id : rowControls(row).lists())
            connect(m_w.view.control<QComboBox>(id), &QComboBox::activated, this,
                    [this, row] { updatePreview(row); });
    connect(m_w.view.look<QComboBox>(ctl::ZoneList), &QComboBox::activated, this,
            [this] { updatePreviews(); });
    connect(m_w.view.look<QLineEdit>(ctl::TimeEdit), &QLineEdit::textChanged, this,
            [this] { updatePreviews(); });
    m_w.view.filterEvents(ctl::DateEdit, this);
}

void DstPanel::updatePreview(DstRuleRow row) {
    const ctl::DstRuleControls& controls = rowControls(row);
    DstRuleIndexes indexes{};
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = m_w.view.control<QComboBox>(controls.lists()[i])->currentIndex();
    const bool usePcTime = m_w.view.look<QCheckBox>(ctl::UsePcTime)->isChecked();
    const int year = yearInUse(usePcTime, m_w.pcTime().local.year, m_w.manualDate());
    const RulePreview preview = rulePreview(DstRule::fromIndexes(indexes), year, m_w.compactView());
    (row == DstRuleRow::Start ? m_window.start : m_window.stop) = preview.instant;
    m_w.view.control<QLabel>(controls.preview)->setText(QString::fromStdString(preview.text));
    m_w.summerWindowChanged(m_window);
}

void DstPanel::UpdateStartPreview() {
    updatePreview(DstRuleRow::Start);
}

void DstPanel::UpdateStopPreview() {
    updatePreview(DstRuleRow::Stop);
}

void DstPanel::updatePreviews() {
    UpdateStopPreview();
    UpdateStartPreview();
}

void DstPanel::languageApplied() {
    UpdateStartPreview();
    UpdateStopPreview();
}

void DstPanel::applyRule(DstRuleRow row, const DstRule& rule) {
    const DstRuleIndexes indexes = rule.indexes();
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        auto* list = m_w.view.control<QComboBox>(rowControls(row).lists()[i]);
        list->setCurrentIndex(indexes[i] < list->count() ? indexes[i] : -1);
    }
    updatePreview(row);
}

void DstPanel::automaticDstClicked() {
    if (m_w.view.look<QCheckBox>(ctl::AutomaticDst)->isChecked() && m_w.compactView())
        RunDstSettingsDialog();
}

QString DstPanel::text(const char* key) const {
    return QString::fromStdString(m_w.texts.text(key));
}

QString DstPanel::setCaption() const {
    return m_w.view.look<QAbstractButton>(ctl::LoggerGroupSet)->text();
}

void DstPanel::RunDstSettingsDialog() {
    TTransferStructDSTSettings record;
    for (std::size_t row = 0; row < ctl::kDstRuleRows.size(); ++row)
        for (std::size_t field = 0; field < 4; ++field)
            record.lists[TTransferStructDSTSettings::slot(row, field)] =
                TComboBoxData::of(*m_w.view.control<QComboBox>(ctl::kDstRuleRows[row].lists()[field]));
    record.startLabel = m_w.view.look<QLabel>(ctl::DstStartLabel)->text();
    record.stopLabel = m_w.view.look<QLabel>(ctl::DstStopLabel)->text();
    record.caption = text("DIALOG_DST");
    record.setCaption = setCaption();
    TDSTDialog dialog(&m_w.dialog, record, m_w.pcTime().local.year);
    dialog.exec();
    // The dialog's choice replaces whatever a reply selected meanwhile.
    for (std::size_t row = 0; row < ctl::kDstRuleRows.size(); ++row)
        for (std::size_t field = 0; field < 4; ++field)
            m_w.view.control<QComboBox>(ctl::kDstRuleRows[row].lists()[field])
                ->setCurrentIndex(record.lists[TTransferStructDSTSettings::slot(row, field)].selected);
    UpdateStartPreview();
    UpdateStopPreview();
}

bool DstPanel::RunAskDstDialog() {
    TAskDstRecord record{std::uint16_t(m_askDstAnswer == 1),
                         std::uint16_t(m_askDstAnswer != 1),
                         text("DIALOG_ASK_DST"),
                         text("GROUP_ASK_DST"),
                         text("RADIO_ASK_DST_DST"),
                         text("RADIO_ASK_DST_NO_DST"),
                         setCaption()};
    TAskDSTDialog dialog(&m_w.dialog, record);
    dialog.exec();
    m_askDstAnswer = record.summerChecked;
    return m_askDstAnswer == 1;
}

void DstPanel::RunAskInvalidHourDialog() {
    const TAskInvalidHourRecord record{text("DIALOG_ASK_INVALID_HOUR"), text("BUTTON_ASK_INVALID_HOUR"),
                                       text("TXT_ASK_INVALID_HOUR")};
    TAskInvalidHourDialog dialog(&m_w.dialog, record);
    dialog.exec();
}

void DstPanel::RunDateDialog() {
    if (m_dateDialogBusy)
        return;
    m_dateDialogBusy = true;
    const ManualDate date = m_w.manualDate();
    TTransferStructDateSettings record;
    record.day = {toItems(dayItems(kDayButtons)), date.day - 1};
    record.month = TComboBoxData::of(*m_w.view.control<QComboBox>(ctl::kDstStartRow.month));
    // Before a language has named the months the list takes built-in names.
    if (record.month.items.isEmpty())
        for (const std::string_view name : kBuiltInMonthNames)
            record.month.items << QString::fromLatin1(name.data(), qsizetype(name.size()));
    record.month.selected = date.month - 1;
    record.year = {toItems(yearItems()), date.year - 1};
    record.caption = text("DIALOG_DATE");
    record.setCaption = setCaption();
    {
        TDateDialog dialog(&m_w.dialog, record);
        dialog.exec();
    }
    m_w.view.giveFocus(ctl::LoggerGroupSet);
    m_w.setManualDate(UpdateDayGrid(record.day.selected, record.month.selected, record.year.selected).date);
    m_dateDialogBusy = false;
    updatePreviews();
}

bool DstPanel::eventFilter(QObject* watched, QEvent* event) {
    // The date is chosen, never typed. The picker opens once the focus has settled, and only
    // if the field still has it: closing the picker gives the focus back for a moment.
    if (event->type() == QEvent::FocusIn && watched == m_w.view.look<QWidget>(ctl::DateEdit))
        QTimer::singleShot(0, this, [this] {
            if (m_w.view.look<QWidget>(ctl::DateEdit)->hasFocus())
                RunDateDialog();
        });
    return QObject::eventFilter(watched, event);
}

} // namespace zek
