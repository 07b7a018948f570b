#pragma once

#include "core/app/control_inventory.h"

#include <QHash>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace zek {

// The font of the log, whose columns line up only when every letter has one width.
QFont FixedPitchFont();

// Maps dialog units to pixels from the font the dialog uses, as dialog templates do:
// x pixels = du * average width of the 52 letters / 4, y pixels = du * line height / 8.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int toX(int du) const;
    int toY(int du) const;
    QRect toPixels(int x, int y, int w, int h) const;

private:
    double m_baseX;
    double m_baseY;
};

// Creates every control of a dialog template as a child of `dialog`, with its ID as
// objectName, its resource text, geometry, limit, validator and initial state, laid out
// in the dialog units of `font` (which the dialog then uses).
class DialogForm {
public:
    DialogForm(QWidget* dialog, const DialogTemplate& dialogTemplate, const QFont& font);

    QWidget* widget(int id) const { return m_controls.value(id, nullptr); }
    template <class T> T* control(int id) const { return qobject_cast<T*>(widget(id)); }

    const DialogUnits& units() const { return m_units; }
    QSize fullSize() const; // the whole dialog in pixels

private:
    QWidget* m_dialog;
    DialogUnits m_units;
    QSize m_sizeDu;
    QHash<int, QWidget*> m_controls;
};

} // namespace zek
