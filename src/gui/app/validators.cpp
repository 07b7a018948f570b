#include "gui/app/validators.h"

#include <QPoint>
#include <QToolTip>
#include <QWidget>

namespace zek {

LimitValidator::LimitValidator(int limit, QObject* parent)
    : LimitValidator(EditRule{EditRule::Kind::Text, limit}, parent) {}

LimitValidator::LimitValidator(EditRule rule, QObject* parent) : QValidator(parent), m_rule(rule) {}

QValidator::State LimitValidator::validate(QString& input, int& /*pos*/) const {
    const EditJudgement judgement = judgeEdit(
        m_rule, std::u16string_view(reinterpret_cast<const char16_t*>(input.utf16()), input.size()));
    if (!judgement.refusal.empty()) {
        const QString message = QString::fromStdString(judgement.refusal);
        emit refused(message);
        // A tip rather than a message box: the refusal must not take the focus away
        // from the edit or stop the timers behind a modal loop.
        auto* edit = qobject_cast<QWidget*>(parent());
        if (edit != nullptr && edit->isVisible())
            QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), message, edit);
    }
    switch (judgement.verdict) {
    case EditVerdict::Invalid:
        return Invalid;
    case EditVerdict::Intermediate:
        return Intermediate;
    case EditVerdict::Acceptable:
        break;
    }
    return Acceptable;
}

LimitValidator* rangeValidator(long minimum, long maximum, int limit, QObject* parent) {
    return new LimitValidator(EditRule{EditRule::Kind::Range, limit, minimum, maximum}, parent);
}

LimitValidator* hexValidator(int limit, QObject* parent) {
    return new LimitValidator(EditRule{EditRule::Kind::Hex, limit}, parent);
}

} // namespace zek
