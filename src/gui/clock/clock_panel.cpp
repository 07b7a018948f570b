#include "gui/clock/clock_panel.h"

#include "core/app/control_ids.h"
#include "core/clock/clock_planner.h"
#include "core/clock/date_picker.h"
#include "core/clock/dst_window.h"
#include "core/clock/time_zones.h"
#include "core/session/session_engine.h"
#include "gui/app/text_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

namespace zek {

// Runs the overtype handling on every change of the time field's text, typed, pasted or set.
// The edit takes the replacement and caret it returns and asks again with them, which is
// the handler's echo.
class ClockPanel::TimeFieldValidator final : public QValidator {
public:
    TimeFieldValidator(TimeFieldState& state, const QString& shown, QObject* parent)
        : QValidator(parent), m_state(state), m_shown(shown) {}

    State validate(QString& input, int& pos) const override {
        // The edit also asks about its unchanged text (on Return and on losing the focus);
        // that is no update.
        if (input == m_shown && m_state.mode == 1)
            return Acceptable;
        const QString before = input;
        TimeFieldStep step = timeFieldUpdate(m_state, toModuleText(input), std::size_t(qMax(pos, 0)));
        if (step.replacement)
            input = fromModuleText(*step.replacement);
        if (step.caret)
            pos = int(*step.caret);
        // A replacement equal to the text brings no echo from the edit.
        if (step.replacement && input == before)
            step = timeFieldUpdate(step.state, *step.replacement, std::size_t(pos));
        m_state = step.state;
        m_shown = input;
        return Acceptable;
    }

private:
    TimeFieldState& m_state;
    mutable QString m_shown;
};

ClockPanel::ClockPanel(Wiring wiring) : m_w(std::move(wiring)) {}

ClockPanel::~ClockPanel() = default;

void ClockPanel::setupControls() {
    auto* zones = m_w.view.control<QComboBox>(ctl::ZoneList);
    for (const std::string_view zone : ZoneTable)
        zones->addItem(fromModuleText(zone));
    zones->setCurrentIndex(kDefaultZoneIndex);
    m_w.view.control<QCheckBox>(ctl::UsePcTime)->setChecked(true);
    m_w.view.control<QLineEdit>(ctl::ZekUtcTime)->setReadOnly(true);
    m_w.view.widget(ctl::ZekLocalTime)->setEnabled(false);

    auto* time = m_w.view.control<QLineEdit>(ctl::TimeEdit);
    const QString start = fromModuleText(kTimeFieldStart);
    time->setText(start);
    time->setValidator(new TimeFieldValidator(m_timeField, start, time));
    time->installEventFilter(this);
}

void ClockPanel::setManualDate(const ManualDate& date) {
    m_manualDate = date;
    m_w.view.control<QLineEdit>(ctl::DateEdit)->setText(QString::fromStdString(dateFieldText(date)));
}

void ClockPanel::setSwitchHourQuestions(std::function<bool()> repeatedHourIsSummer,
                                        std::function<void()> skippedHour) {
    m_repeatedHourIsSummer = std::move(repeatedHourIsSummer);
    m_skippedHour = std::move(skippedHour);
}

bool ClockPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == m_w.view.widget(ctl::TimeEdit)) {
        const auto* time = static_cast<QLineEdit*>(watched);
        const int start = time->hasSelectedText() ? time->selectionStart() : time->cursorPosition();
        const int end = time->hasSelectedText() ? time->selectionEnd() : start;
        m_timeField = timeFieldFocus(m_timeField, std::size_t(start), std::size_t(end));
    }
    return QObject::eventFilter(watched, event);
}

bool ClockPanel::checked(int id) const {
    return m_w.view.look<QCheckBox>(id)->isChecked();
}

int ClockPanel::zoneMinutes() const {
    return ZoneOffsetMinutes(toModuleText(m_w.view.control<QComboBox>(ctl::ZoneList)->currentText()));
}

std::string ClockPanel::timeText() const {
    return toModuleText(m_w.view.control<QLineEdit>(ctl::TimeEdit)->text());
}

void ClockPanel::showPcClock() {
    const PcTime pc = m_pcClock();
    const std::string time = timeText();
    const ClockEntries entries{m_w.compactView(),
                               checked(ctl::AutomaticDst),
                               checked(ctl::UsePcTime),
                               m_manualDate,
                               time,
                               zoneMinutes(),
                               m_summerWindow};
    m_computedLocal = ComputedLocalText(pc, entries);
    m_w.view.control<QLabel>(ctl::PcUtcTime)->setText(fromModuleText(PcUtcText(pc)));
    m_w.view.control<QLabel>(ctl::PcLocalTime)
        ->setText(fromModuleText(PcLocalText(pc, entries.compactView, m_computedLocal)));
}

void ClockPanel::refreshView() {
    showPcClock();
    if (m_localReply)
        showLocalTime(*m_localReply);
}

void ClockPanel::ReadDeviceClock() {
    for (const int id : {ctl::ZekUtcTime, ctl::ZekLocalTime})
        m_w.view.control<QLineEdit>(id)->setText(QStringLiteral("?"));
    m_localReply.reset();
    m_w.send(*readQuery(ValueAction::ReadClock));
}

bool ClockPanel::SetDeviceClock() {
    const std::string time = timeText();
    ClockRequest request{
        checked(ctl::UsePcTime), {},          m_manualDate, time, zoneMinutes(), checked(ctl::AutomaticDst),
        m_summerWindow,          std::nullopt};
    if (request.usePcTime)
        request.pc = m_pcClock();
    ClockPlan plan = planClock(request);
    if (plan.question == ClockQuestion::RepeatedHour) {
        request.repeatedHourIsSummer = m_repeatedHourIsSummer();
        plan = planClock(request);
    }
    if (plan.question == ClockQuestion::SkippedHour) {
        m_skippedHour();
        m_w.view.widget(ctl::TimeEdit)->setFocus();
        return false;
    }
    m_w.send({setClockCommandText(plan.payload), ReplyKey::TimeLocal});
    return true;
}

void ClockPanel::pressSet() {
    m_busy = true;
    m_timeSent = SetDeviceClock();
    m_busy = false;
}

// A module time longer than its field shows its start, the hour, rather than its end.
void ClockPanel::showStart(int id, const std::string& text) {
    auto* edit = m_w.view.control<QLineEdit>(id);
    edit->setText(fromModuleText(text));
    edit->setCursorPosition(0);
}

void ClockPanel::showLocalTime(const LocalReply& reply) {
    if (const auto local = clockReplyEffect(reply.kind, reply.line, m_w.compactView()).localTime)
        showStart(ctl::ZekLocalTime, *local);
}

void ClockPanel::applyReply(ReplyKind kind, std::string_view line) {
    const ClockReplyEffect effect = clockReplyEffect(kind, line, m_w.compactView());
    if (effect.utcTime)
        showStart(ctl::ZekUtcTime, *effect.utcTime);
    if (effect.localTime) {
        m_localReply = LocalReply{kind, std::string(line)};
        showLocalTime(*m_localReply);
    }
    if (effect.zone)
        m_w.view.control<QLabel>(ctl::DeviceZone)->setText(fromModuleText(*effect.zone));
}

void ClockPanel::addButtonActions(QHash<int, std::function<void()>>& table) {
    table.insert(ctl::ClockRead, [this] { ReadDeviceClock(); });
    table.insert(ctl::ClockSet, [this] { pressSet(); });
}

} // namespace zek
