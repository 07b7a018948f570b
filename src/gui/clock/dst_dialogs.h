#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

class QComboBox;

namespace zek {

class DialogForm;
struct DialogTemplate;

// One list's items and selection, as the dialogs' records carry them.
struct TComboBoxData {
    QStringList items;
    int selected = -1;

    QString selectedText() const { return items.value(selected); }
    static TComboBoxData of(const QComboBox& combo);
    // The items and the selection into a list, without a selection change of the user.
    void fill(QComboBox& combo) const;
};

// A text as a record's buffer of `room` characters keeps it, its terminator included.
QString recordText(const QString& text, int room = 100);

// The base of the clock's small dialogs: built from its template in the application's
// font, a caption with a close box and no other buttons, the program's icon, a fixed
// size. Closing it by Set, the close box or Escape takes the shown choice (done()).
class ClockDialog : public QDialog {
public:
    ClockDialog(QWidget* parent, int resourceId, const DialogTemplate& dialogTemplate, const QString& caption,
                const char* resourceCaption);
    ~ClockDialog() override;

    DialogForm& form() const { return *m_form; }

protected:
    // A control's text from the record, the resource text while the record has none.
    void setText(int id, const QString& text) const;
    void closeOn(int setButton);

private:
    std::unique_ptr<DialogForm> m_form;
};

// DST Settings (dlg::DstSettings). The lists in the record's order: start occurrence, stop occurrence,
// start weekday, stop weekday, start month, stop month, start hour, stop hour.
struct TTransferStructDSTSettings {
    std::array<TComboBoxData, 8> lists;
    QString startLabel;
    QString stopLabel;
    QString caption;
    QString setCaption; // 200 characters

    // Field 0..3 (occurrence, weekday, month, hour) of rule row 0 (start) or 1 (stop).
    static constexpr std::size_t slot(std::size_t row, std::size_t field) { return field * 2 + row; }
};

class TDSTDialog : public ClockDialog {
public:
    // `pcYear`: the PC's current local year, which the dialog's previews describe.
    TDSTDialog(QWidget* parent, TTransferStructDSTSettings& record, int pcYear);
    void done(int result) override;

private:
    void updatePreview(std::size_t row);

    TTransferStructDSTSettings& m_record;
    int m_pcYear;
};

// Ask DST Settings (dlg::AskDst): which of the two equal local hours at the end of summer time.
struct TAskDstRecord {
    std::uint16_t summerChecked = 1; // dlg::AskDstSummer, daylight saving time
    std::uint16_t winterChecked = 0; // dlg::AskDstWinter, winter time
    QString caption;
    QString group;
    QString summerText;
    QString winterText;
    QString setCaption; // 200 characters
};

class TAskDSTDialog : public ClockDialog {
public:
    TAskDSTDialog(QWidget* parent, TAskDstRecord& record);
    void done(int result) override;

private:
    TAskDstRecord& m_record;
};

// Ask Invalid Hour (dlg::AskInvalidHour): the hour skipped at the start of summer time is refused.
struct TAskInvalidHourRecord {
    QString caption;
    QString button;
    QString message;
};

class TAskInvalidHourDialog : public ClockDialog {
public:
    TAskInvalidHourDialog(QWidget* parent, const TAskInvalidHourRecord& record);
};

} // namespace zek
