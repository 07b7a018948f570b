#pragma once

#include "core/app/panel_controls.h"

#include <QHash>
#include <QWidget>

namespace zek {

class DialogForm;

// One panel's narrow view of the main dialog: it may change the controls it owns, enable
// or disable those whose enabling it decides, and only read (watch, focus) the others it is
// shown. A control outside the view is no panel's to touch: asking for it is a mistake in
// the code, caught in a debug build.
class PanelView {
public:
    PanelView(const DialogForm& form, const PanelControls& controls);

    // An owned control.
    QWidget* widget(int id) const;
    template <class T> T* control(int id) const { return qobject_cast<T*>(widget(id)); }
    // An owned control, or one whose enabling this panel decides.
    void setEnabled(int id, bool enabled) const;
    // Any control in the view, to read.
    template <class T> const T* look(int id) const { return qobject_cast<const T*>(find(id, Access::Seen)); }
    // Any control in the view: `filter` sees its events.
    void filterEvents(int id, QObject* filter) const;
    void giveFocus(int id) const;

private:
    enum class Access { Seen, Enables, Owned };
    QWidget* find(int id, Access needed) const;

    struct Entry {
        QWidget* widget;
        Access access;
    };
    QHash<int, Entry> m_controls;
};

} // namespace zek
