#pragma once

#include <QColor>
#include <QWidget>

namespace zek {

// The progress gauge of the read sequence: a horizontal bar of LED segments with
// the value as "%d%%" centred over it.
class LedGauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthPx = 210, kHeightPx = 20;
    static constexpr int kMarginPx = 1;
    // One segment per 5 units of the range; a segment fills 90 % of its pitch.
    static constexpr int kLedSpacing = 5;
    static constexpr int kLedThicknessPercent = 90;

    explicit LedGauge(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // Clamped to the range.
    void setValue(int value);
    int value() const { return m_value; }

    void setBarColor(const QColor& color);
    QColor barColor() const { return m_barColor; }

    QString text() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    QColor m_barColor;
};

} // namespace zek
