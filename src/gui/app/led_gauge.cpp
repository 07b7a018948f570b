#include "gui/app/led_gauge.h"

#include "core/app/control_ids.h"

#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace zek {

LedGauge::LedGauge(QWidget* parent) : QWidget(parent), m_barColor(palette().color(QPalette::Highlight)) {
    setObjectName(QString::number(ctl::Gauge));
    setFixedSize(kWidthPx, kHeightPx);
}

void LedGauge::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
    update();
}

void LedGauge::setValue(int value) {
    const int clamped = std::clamp(value, m_minimum, m_maximum);
    if (clamped == m_value)
        return;
    m_value = clamped;
    update();
}

void LedGauge::setBarColor(const QColor& color) {
    m_barColor = color;
    update();
}

QString LedGauge::text() const {
    return QString::asprintf("%d%%", m_value);
}

QSize LedGauge::sizeHint() const {
    return {kWidthPx, kHeightPx};
}

void LedGauge::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), true, 1, &palette().brush(QPalette::Window));

    const QRect bar = rect().adjusted(1 + kMarginPx, 1 + kMarginPx, -1 - kMarginPx, -1 - kMarginPx);
    const int span = m_maximum - m_minimum;
    if (span > 0 && bar.width() > 0 && m_value > m_minimum) {
        const double pitch = double(bar.width()) * kLedSpacing / span;
        const double thickness = pitch * kLedThicknessPercent / 100.0;
        painter.save();
        painter.setClipRect(bar);
        // A segment is lit as soon as the value enters it, so any progress shows;
        // counted in range units, so rounding never lights one too many.
        for (int k = 0; k * kLedSpacing < m_value - m_minimum; ++k) {
            const int left = bar.left() + int(k * pitch + 0.5);
            const int right = bar.left() + int(k * pitch + thickness + 0.5);
            painter.fillRect(QRect(QPoint(left, bar.top()), QPoint(right - 1, bar.bottom())), m_barColor);
        }
        painter.restore();
    }

    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace zek
