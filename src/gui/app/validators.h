#pragma once

#include <QString>
#include <QValidator>

namespace zek {

// Edits limit what the user types, not what the program shows: a module may send a
// longer text than the user may enter, and it is shown in full. The limit therefore
// lives here, where only edits refuse input, and not in QLineEdit::maxLength, which
// would also cut text set by the program. 0 means unlimited.
class LimitValidator : public QValidator {
    Q_OBJECT
public:
    explicit LimitValidator(int limit, QObject* parent = nullptr);

    int limit() const { return m_limit; }
    State validate(QString& input, int& pos) const override;

signals:
    // A typed or pasted text was refused with this message; shown as a tool tip at the edit.
    void refused(const QString& message) const;

protected:
    bool exceedsLimit(const QString& input) const;
    void refuse(const QString& message) const;

private:
    int m_limit;
};

// Digits only, value within [minimum, maximum]. Empty is Intermediate (read as 0 by
// the panels); a value below the minimum is Intermediate while the user may still be typing.
class RangeValidator : public LimitValidator {
    Q_OBJECT
public:
    RangeValidator(long minimum, long maximum, int limit, QObject* parent = nullptr);

    long minimum() const { return m_minimum; }
    long maximum() const { return m_maximum; }
    State validate(QString& input, int& pos) const override;

private:
    long m_minimum;
    long m_maximum;
};

// Only the characters "0123456789abcdefABCDEF".
class HexFilterValidator : public LimitValidator {
    Q_OBJECT
public:
    explicit HexFilterValidator(int limit, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
};

} // namespace zek
