#include "gui/session/sequence_driver.h"

#include "gui/app/dialog_form.h"
#include "gui/app/led_gauge.h"
#include "gui/app/text_codec.h"
#include "gui/session/session_panels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace zek {

namespace {

constexpr int kAutoRead = 5192;
constexpr int kLoggerActive = 5199;
constexpr int kLogInterval = 5103;
constexpr int kAutomaticDst = 5124;
constexpr std::array<std::array<int, 4>, 3> kTrapEdits = {
    {{5101, 5100, 5099, 5098}, {5097, 5096, 5095, 5094}, {5191, 5093, 5092, 5091}}};
constexpr std::array<int, 3> kTrapBoxes = {5170, 5171, 5172};
constexpr std::array<ReplyKey, 3> kTrapKeys = {ReplyKey::TrapIp1, ReplyKey::TrapIp2, ReplyKey::TrapIp3};
// Week number, weekday, month and hour lists of the start and the stop rule.
constexpr std::array<int, 4> kStartRule = {5133, 5127, 5130, 5131};
constexpr std::array<int, 4> kStopRule = {5134, 5128, 5129, 5132};

// An index outside the list leaves it without a selection.
// Module numbers may be anything: computed wide, so no value can overflow.
void selectIndex(QComboBox* list, long long index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? int(index) : -1);
}

} // namespace

bool SequenceDriver::connected() const { return m_w.sessionState() == SessionState::Connected; }

bool SequenceDriver::readAutomatically() const { return m_w.form.control<QCheckBox>(kAutoRead)->isChecked(); }

bool SequenceDriver::replySeen(std::string_view keyword) const {
    const auto key = findReplyKey(keyword);
    return key && m_w.flags.seen(*key);
}

void SequenceDriver::clearReplySeen(std::string_view keyword) {
    if (const auto key = findReplyKey(keyword))
        m_w.flags.setSeen(*key, false);
}

void SequenceDriver::markReplySeen(std::string_view keyword) {
    if (const auto key = findReplyKey(keyword))
        m_w.flags.setSeen(*key);
}

void SequenceDriver::setPeriod(int milliseconds) { m_w.timerB.setInterval(milliseconds); }

void SequenceDriver::log(std::string_view line) { m_w.log(QString::fromLatin1(line.data(), qsizetype(line.size()))); }

void SequenceDriver::setGauge(int value, GaugeColour colour) {
    m_w.gauge.setValue(value);
    m_w.gauge.setBarColor(colour == GaugeColour::Green ? QColor(0, 255, 0) : QColor(255, 255, 0));
    m_w.gauge.repaint();
}

void SequenceDriver::setGaugeValue(int value) { m_w.gauge.setValue(value); }

void SequenceDriver::setBusyCursor(bool busy) {
    if (busy)
        m_w.dialog.window()->setCursor(Qt::WaitCursor);
    else
        m_w.dialog.window()->unsetCursor();
}

void SequenceDriver::showText(int id, const std::optional<std::string>& text) {
    if (text)
        m_w.form.control<QLineEdit>(id)->setText(fromModuleText(*text));
}

void SequenceDriver::applyReply(const QByteArray& bytes) {
    const ParsedReply reply = ParseReply(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    switch (reply.kind) {
    case ReplyKind::None:
    case ReplyKind::TimeUtc:
    case ReplyKind::ModulTimeUtc:
    case ReplyKind::ModulTimeLocal:
        break;
    case ReplyKind::TimeLocal:
        if (reply.line.size() > 12)
            setSeen(ReplyKey::TimeLocal);
        break;
    case ReplyKind::ModulConfig: {
        m_w.showSoftware(fromModuleText(reply.word));
        m_sequence.setStep(ReadSequence::kModulConfigStep);
        m_w.flags.ModulConfigSeen = true;
        const Capabilities letters = capabilitiesOf(reply.word);
        m_w.flags.TrapCapable = letters.T;
        m_w.flags.LoggerCapable = letters.L;
        m_w.panels.applySnmpPanel();
        m_w.panels.applyClockPanel();
        m_w.panels.applySessionButtons();
        break;
    }
    case ReplyKind::LogOn:
        m_w.form.control<QCheckBox>(kLoggerActive)->setChecked(reply.number > 0);
        m_w.dispatchButton(kLoggerActive);
        setSeen(ReplyKey::LogOn);
        if (reply.number > 0)
            selectIndex(m_w.form.control<QComboBox>(kLogInterval), reply.number - 1LL);
        break;
    case ReplyKind::TrapIp:
        applyTrapRow(reply);
        break;
    case ReplyKind::ModulTyp:
        setSeen(ReplyKey::ModulTyp);
        showText(5173, reply.shown);
        break;
    case ReplyKind::DstUse:
        setSeen(ReplyKey::DstUse);
        m_w.form.control<QCheckBox>(kAutomaticDst)->setChecked(reply.number == 1);
        m_w.panels.applyClockPanel();
        break;
    case ReplyKind::DstStart:
    case ReplyKind::DstStop:
        applyRule(reply, reply.kind == ReplyKind::DstStart);
        break;
    case ReplyKind::Geraet:
        setSeen(ReplyKey::Geraet);
        showText(5175, reply.shown);
        break;
    case ReplyKind::Revision:
        setSeen(ReplyKey::Revision);
        showText(5177, reply.shown);
        break;
    case ReplyKind::Firma:
        setSeen(ReplyKey::Firma);
        showText(5176, reply.shown);
        break;
    case ReplyKind::SnmpLoc:
        setSeen(ReplyKey::SnmpLoc);
        showText(5200, reply.shown);
        break;
    case ReplyKind::Error:
        m_sequence.onError(reply.number);
        break;
    }
}

void SequenceDriver::applyTrapRow(const ParsedReply& reply) {
    const auto row = std::size_t(reply.trapRow - 1);
    setSeen(kTrapKeys[row]);
    bool any = false;
    for (std::size_t i = 0; i < 4; ++i) {
        m_w.form.control<QLineEdit>(kTrapEdits[row][i])->setText(QString::number(reply.values[i]));
        any = any || reply.values[i] != 0;
    }
    m_w.form.control<QCheckBox>(kTrapBoxes[row])->setChecked(any);
    m_w.panels.applyTrapRow(reply.trapRow);
}

void SequenceDriver::applyRule(const ParsedReply& reply, bool start) {
    setSeen(start ? ReplyKey::DstStart : ReplyKey::DstStop);
    const auto& lists = start ? kStartRule : kStopRule;
    const auto& [week, weekday, month, hour] = reply.values;
    selectIndex(m_w.form.control<QComboBox>(lists[0]), week);
    selectIndex(m_w.form.control<QComboBox>(lists[1]), (weekday + 6LL) % 7);
    selectIndex(m_w.form.control<QComboBox>(lists[2]), month - 1LL);
    selectIndex(m_w.form.control<QComboBox>(lists[3]), hour);
}

} // namespace zek
