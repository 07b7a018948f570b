#pragma once

#include "core/clock/clock_texts.h"
#include "core/clock/dst_rule.h"
#include "gui/app/panel_view.h"

#include <QObject>

#include <array>
#include <functional>

class QWidget;

namespace zek {

class LanguageTexts;

// The daylight-saving rule rows of the main window with their date previews and the
// summer-time window they give, and the clock's modal dialogs: DST Settings, the two
// questions at the switch hours and the date picker.
class DstPanel : public QObject {
public:
    struct Wiring {
        QWidget& dialog; // the dialogs' parent
        PanelView view;
        const LanguageTexts& texts;
        std::function<bool()> compactView;
        std::function<PcTime()> pcTime;
        std::function<ManualDate()> manualDate;
        std::function<void(const ManualDate&)> setManualDate;
        // `DstStart` and `DstStop` changed: the clock's "(S)"/"(W)" mark and manual payload use them.
        std::function<void(const SummerWindow&)> summerWindowChanged;
    };

    explicit DstPanel(Wiring wiring);

    // Fills the hour lists and connects the rule lists, the zone list, the time field and the
    // date field; once.
    void setupControls();

    // A rule's `DstStart` (or `DstStop`) and its preview from its four lists.
    void UpdateStartPreview();
    void UpdateStopPreview();
    // The year in use may have changed (zone, "Use PC time", time field, date, view): stop, then start.
    void updatePreviews();
    // After a language filled the lists: start, then stop.
    void languageApplied();

    // A rule the module reported: the row's lists and its preview.
    void applyRule(DstRuleRow row, const DstRule& rule);
    // "Automatic DST" was clicked: ticked in the compact view, the rules are edited in the
    // DST Settings dialog.
    void automaticDstClicked();

    void RunDstSettingsDialog();
    // Which of the two equal hours is meant; true for daylight saving time. The answer is
    // preselected the next time.
    bool RunAskDstDialog();
    void RunAskInvalidHourDialog();
    // Opens the date picker unless it is open; the chosen date goes into the date field.
    void RunDateDialog();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updatePreview(DstRuleRow row);
    QString text(const char* key) const;
    QString setCaption() const;

    Wiring m_w;
    SummerWindow m_window;
    // AskDstAnswer: 1 for daylight saving time.
    int m_askDstAnswer = 1;
    bool m_dateDialogBusy = false;
};

} // namespace zek
