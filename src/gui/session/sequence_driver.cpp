#include "gui/session/sequence_driver.h"

#include "core/app/control_ids.h"
#include "gui/app/dialog_form.h"
#include "gui/app/led_gauge.h"
#include "gui/app/text_codec.h"
#include "gui/session/session_panels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <utility>

namespace zek {

namespace {

// The field that shows the text of each text reply.
constexpr std::pair<ReplyKind, int> kTextFields[] = {
    {ReplyKind::ModulTyp, ctl::ModuleInfo},     {ReplyKind::Geraet, ctl::ModuleTyp},
    {ReplyKind::Revision, ctl::ModuleRevision}, {ReplyKind::Firma, ctl::ModuleFirma},
    {ReplyKind::SnmpLoc, ctl::SnmpLocation},
};

} // namespace

bool SequenceDriver::connected() const {
    return m_w.sessionState() == SessionState::Connected;
}

bool SequenceDriver::readAutomatically() const {
    return m_w.form.control<QCheckBox>(ctl::AutoRead)->isChecked();
}

void SequenceDriver::setPeriod(int milliseconds) {
    m_w.timerB.setInterval(milliseconds);
}

void SequenceDriver::log(std::string_view line) {
    m_w.log(QString::fromLatin1(line.data(), qsizetype(line.size())));
}

void SequenceDriver::setGauge(int value, GaugeColour colour) {
    m_w.gauge.setValue(value);
    m_w.gauge.setBarColor(colour == GaugeColour::Green ? QColor(0, 255, 0) : QColor(255, 255, 0));
    m_w.gauge.repaint();
}

void SequenceDriver::setGaugeValue(int value) {
    m_w.gauge.setValue(value);
}

void SequenceDriver::setBusyCursor(bool busy) {
    if (busy)
        m_w.dialog.window()->setCursor(Qt::WaitCursor);
    else
        m_w.dialog.window()->unsetCursor();
}

void SequenceDriver::runStep(StepCause cause) {
    if (!m_w.flags.SequenceBusy)
        m_sequence.RunSequenceStep(cause);
    m_w.timerB.start();
}

// An index outside the list leaves it without a selection.
void SequenceDriver::select(int listId, int index) {
    auto* list = m_w.form.control<QComboBox>(listId);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void SequenceDriver::applyReply(const QByteArray& bytes) {
    const ParsedReply reply = ParseReply(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    noteReply(reply, m_w.flags);
    m_sequence.onReply(reply);
    for (const auto& [kind, field] : kTextFields)
        if (kind == reply.kind && reply.shown)
            m_w.form.control<QLineEdit>(field)->setText(fromModuleText(*reply.shown));

    switch (reply.kind) {
    case ReplyKind::ModulConfig:
        m_w.showSoftware(fromModuleText(reply.word));
        m_w.panels.applySnmpPanel();
        m_w.panels.applyClockPanel();
        m_w.panels.applySessionButtons();
        break;
    case ReplyKind::LogOn: {
        const LoggerReply logger = loggerReply(reply.number);
        m_w.form.control<QCheckBox>(ctl::LoggerActive)->setChecked(logger.active);
        m_w.dispatchButton(ctl::LoggerActive);
        if (logger.intervalIndex)
            select(ctl::LogTimeList, *logger.intervalIndex);
        break;
    }
    case ReplyKind::TrapIp:
        applyTrapRow(reply);
        break;
    case ReplyKind::DstUse:
        m_w.form.control<QCheckBox>(ctl::AutomaticDst)->setChecked(dstUseOn(reply.number));
        m_w.panels.applyClockPanel();
        break;
    case ReplyKind::DstStart:
    case ReplyKind::DstStop:
        m_w.showRuleReply(reply.kind, reply.values);
        break;
    case ReplyKind::TimeUtc:
    case ReplyKind::TimeLocal:
    case ReplyKind::ModulTimeUtc:
    case ReplyKind::ModulTimeLocal:
        m_w.showClockReply(reply.kind, reply.line);
        break;
    default:
        break;
    }
}

void SequenceDriver::applyTrapRow(const ParsedReply& reply) {
    const ctl::TrapRow& row = ctl::kTrapRows[std::size_t(reply.trapRow - 1)];
    for (std::size_t i = 0; i < row.edits.size(); ++i)
        m_w.form.control<QLineEdit>(row.edits[i])->setText(QString::number(reply.values[i]));
    m_w.form.control<QCheckBox>(row.checkBox)->setChecked(trapReceiverSet(reply.values));
    m_w.panels.applyTrapRow(reply.trapRow);
}

} // namespace zek
