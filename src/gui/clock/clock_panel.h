#pragma once

#include "core/clock/clock_texts.h"
#include "core/clock/time_entry.h"
#include "core/session/command_texts.h"
#include "gui/app/panel_view.h"
#include "gui/clock/pc_clock.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

// The clock rows of the data-logger group: the PC clock texts, the manual time, date and
// zone, reading and setting the module clock, and the module's clock replies.
class ClockPanel : public QObject {
public:
    struct Wiring {
        PanelView view;
        std::function<bool()> compactView;
        std::function<void(const SessionCommand& command)> send; // through the session engine
    };

    explicit ClockPanel(Wiring wiring);
    ~ClockPanel() override;

    // The zone list, the time field's overtype handling and the fixed states, once at set-up.
    void setupControls();
    void setPcClock(PcClock clock) { m_pcClock = std::move(clock); }
    PcTime pcTime() const { return m_pcClock(); }

    // The date the entered time belongs to; setting it also shows it in the date field.
    const ManualDate& manualDate() const { return m_manualDate; }
    void setManualDate(const ManualDate& date);
    // `DstStart` and `DstStop` of the year in use, for the "(S)"/"(W)" mark and the manual
    // payload; empty while no rule is known.
    void setSummerWindow(const SummerWindow& window) { m_summerWindow = window; }
    // The questions at the switch hours: which of the twice-occurring hours is meant (true
    // for daylight saving time), and the refusal of the skipped hour.
    void setSwitchHourQuestions(std::function<bool()> repeatedHourIsSummer,
                                std::function<void()> skippedHour);

    // Each tick of timer A: the PC's UTC text, then its local text.
    void showPcClock();
    // After a change of view: the PC texts and the module's local time in the view's cut.
    void refreshView();

    // Shows "?" in both module time fields, then asks the module for its clock.
    void ReadDeviceClock();
    // Sends "!TIME_UTC" with the PC's or the entered time; false when the time was withheld.
    bool SetDeviceClock();
    // "!TIME_UTC", "!TIME_LOCAL", "modul_time_utc" and "modul_time_local" lines, whole.
    void applyReply(ReplyKind kind, std::string_view line);
    // The set-clock action runs: its questions wait for an answer.
    bool busy() const { return m_busy; }
    // The last set-clock action sent its command.
    bool timeSent() const { return m_timeSent; }

    // The clock's Read and Set buttons.
    void addButtonActions(QHash<int, std::function<void()>>& table);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TimeFieldValidator;
    struct LocalReply {
        ReplyKind kind;
        std::string line;
    };

    // Set's button: the sequence does not step while the action runs.
    void pressSet();
    bool checked(int id) const;
    int zoneMinutes() const;
    std::string timeText() const;
    void showStart(int id, const std::string& text);
    void showLocalTime(const LocalReply& reply);

    Wiring m_w;
    PcClock m_pcClock = readPcClock;
    TimeFieldState m_timeField;
    ManualDate m_manualDate;
    // Computed from the daylight-saving rules; empty while none are known.
    SummerWindow m_summerWindow;
    std::function<bool()> m_repeatedHourIsSummer = [] { return true; };
    std::function<void()> m_skippedHour = [] {};
    std::string m_computedLocal;
    std::optional<LocalReply> m_localReply;
    bool m_busy = false;
    bool m_timeSent = false;
};

} // namespace zek
