#include "gui/app/debug_panel.h"

#include "core/app/control_ids.h"
#include "gui/app/log_list.h"

#include <QCheckBox>
#include <QLabel>

namespace zek {

void DebugPanel::addButtonActions(QHash<int, std::function<void()>>& actions) {
    for (const int id : {ctl::ClearLog, ctl::ClearHidden})
        actions.insert(id, [this] { m_w.view.control<LogList>(ctl::LogList)->clear(); });
}

void DebugPanel::showTraffic() {
    const TrafficFigures figures =
        m_counter.tick(m_w.bytesSent(), m_w.bytesReceived(), std::uint32_t(m_w.timerPeriodMs));
    const std::pair<int, const std::string*> fields[] = {{ctl::SendRate, &figures.sentRate},
                                                         {ctl::ReceiveRate, &figures.receivedRate},
                                                         {ctl::ReceiveTotal, &figures.receivedTotal},
                                                         {ctl::SendTotal, &figures.sentTotal}};
    for (const auto& [id, text] : fields)
        m_w.view.control<QLabel>(id)->setText(QString::fromStdString(*text));
}

void DebugPanel::showUnknownSoftware() {
    m_w.view.control<QLabel>(ctl::SoftwareText)->setText(QStringLiteral("?"));
}

void DebugPanel::showSoftware(const QString& software) {
    m_w.view.control<QLabel>(ctl::SoftwareText)->setText(software);
    const auto checked = featureLetters(software.toLatin1().toStdString());
    for (std::size_t i = 0; i < checked.size(); ++i)
        m_w.view.control<QCheckBox>(ctl::kFeatureLetters[i].checkBox)->setChecked(checked[i]);
}

} // namespace zek
