#include "gui/app/validators.h"

#include <QPoint>
#include <QToolTip>
#include <QWidget>

#include <limits>

namespace zek {

namespace {

const char* const kInvalidCharacter = "Invalid character in input";

bool isDecimalDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c) {
    return isDecimalDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

LimitValidator::LimitValidator(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}

QValidator::State LimitValidator::validate(QString& input, int& /*pos*/) const {
    return exceedsLimit(input) ? Invalid : Acceptable;
}

bool LimitValidator::exceedsLimit(const QString& input) const {
    return m_limit > 0 && input.size() > m_limit;
}

void LimitValidator::refuse(const QString& message) const {
    emit refused(message);
    // A tip rather than a message box: the refusal must not take the focus away
    // from the edit or stop the timers behind a modal loop.
    auto* edit = qobject_cast<QWidget*>(parent());
    if (edit != nullptr && edit->isVisible())
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), message, edit);
}

RangeValidator::RangeValidator(long minimum, long maximum, int limit, QObject* parent)
    : LimitValidator(limit, parent), m_minimum(minimum), m_maximum(maximum) {}

QValidator::State RangeValidator::validate(QString& input, int& /*pos*/) const {
    if (exceedsLimit(input))
        return Invalid;
    if (input.isEmpty())
        return Intermediate;
    for (QChar c : input) {
        if (!isDecimalDigit(c)) {
            refuse(QString::fromLatin1(kInvalidCharacter));
            return Invalid;
        }
    }
    // Stop accumulating once past the maximum, so a long pasted number cannot overflow.
    long value = 0;
    for (QChar c : input) {
        const long digit = c.unicode() - u'0';
        const bool wouldOverflow = value > (std::numeric_limits<long>::max() - digit) / 10;
        if (!wouldOverflow)
            value = value * 10 + digit;
        if (wouldOverflow || value > m_maximum) {
            refuse(QString::asprintf("Value is not in the range %ld to %ld.", m_minimum, m_maximum));
            return Invalid;
        }
    }
    return value < m_minimum ? Intermediate : Acceptable;
}

HexFilterValidator::HexFilterValidator(int limit, QObject* parent) : LimitValidator(limit, parent) {}

QValidator::State HexFilterValidator::validate(QString& input, int& /*pos*/) const {
    if (exceedsLimit(input))
        return Invalid;
    for (QChar c : input) {
        if (!isHexDigit(c)) {
            refuse(QString::fromLatin1(kInvalidCharacter));
            return Invalid;
        }
    }
    return Acceptable;
}

} // namespace zek
