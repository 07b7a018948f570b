#include "gui/app/panel_view.h"

#include "gui/app/dialog_form.h"

namespace zek {

PanelView::PanelView(const DialogForm& form, const PanelControls& controls) {
    // The widest access wins where a list names a control twice.
    const auto add = [&](const std::vector<int>& ids, Access access) {
        for (const int id : ids) {
            const Entry entry{form.widget(id), access};
            if (auto found = m_controls.find(id); found == m_controls.end() || found->access < access)
                m_controls.insert(id, entry);
        }
    };
    add(controls.seen, Access::Seen);
    add(controls.enables, Access::Enables);
    add(controls.owned, Access::Owned);
}

QWidget* PanelView::find(int id, Access needed) const {
    const auto found = m_controls.constFind(id);
    const bool allowed = found != m_controls.constEnd() && found->access >= needed;
    Q_ASSERT_X(allowed, "PanelView", qPrintable(QStringLiteral("control %1 is not this panel's").arg(id)));
    return allowed ? found->widget : nullptr;
}

QWidget* PanelView::widget(int id) const {
    return find(id, Access::Owned);
}

void PanelView::setEnabled(int id, bool enabled) const {
    if (QWidget* widget = find(id, Access::Enables))
        widget->setEnabled(enabled);
}

void PanelView::filterEvents(int id, QObject* filter) const {
    if (QWidget* widget = find(id, Access::Seen))
        widget->installEventFilter(filter);
}

void PanelView::giveFocus(int id) const {
    if (QWidget* widget = find(id, Access::Seen))
        widget->setFocus();
}

} // namespace zek
