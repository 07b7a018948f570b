#pragma once

#include "core/app/debug_figures.h"
#include "gui/app/panel_view.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>

namespace zek {

// The extended view's traffic figures, the software text with its feature letters and
// the log's Clear buttons. The figures are kept up to date in the compact view too.
class DebugPanel {
public:
    struct Wiring {
        PanelView view;
        // The session's running byte totals.
        std::function<std::uint32_t()> bytesSent;
        std::function<std::uint32_t()> bytesReceived;
        int timerPeriodMs;
    };

    explicit DebugPanel(Wiring wiring) : m_w(std::move(wiring)) {}

    void addButtonActions(QHash<int, std::function<void()>>& actions);
    // One tick of timer A: the rates since the previous tick and the totals.
    void showTraffic();
    // A software text from the search datagram or the session's "modul_config".
    void showSoftware(const QString& software);
    // "?" as the software text, its letters as they were.
    void showUnknownSoftware();

private:
    Wiring m_w;
    TrafficCounter m_counter;
};

} // namespace zek
