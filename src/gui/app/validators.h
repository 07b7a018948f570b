#pragma once

#include "core/text/edit_rules.h"

#include <QString>
#include <QValidator>

namespace zek {

// Edits limit what the user types, not what the program shows: a module may send a
// longer text than the user may enter, and it is shown in full. The limit therefore
// lives here, where only edits refuse input, and not in QLineEdit::maxLength, which
// would also cut text set by the program. The judgement itself is core's.
class LimitValidator : public QValidator {
    Q_OBJECT
public:
    // Any text up to `limit` characters (0: unlimited).
    explicit LimitValidator(int limit, QObject* parent = nullptr);
    LimitValidator(EditRule rule, QObject* parent);
    int limit() const { return m_rule.limit; }
    State validate(QString& input, int& pos) const override;

signals:
    // A typed or pasted text was refused with this message; shown as a tool tip at the edit.
    void refused(const QString& message) const;

private:
    EditRule m_rule;
};

// Digits only, value within [minimum, maximum].
LimitValidator* rangeValidator(long minimum, long maximum, int limit, QObject* parent);
// Only the characters "0123456789abcdefABCDEF".
LimitValidator* hexValidator(int limit, QObject* parent);

} // namespace zek
