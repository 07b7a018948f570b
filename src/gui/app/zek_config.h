#pragma once

#include "core/app/panel_controls.h"
#include "core/scan/device_protocol.h"
#include "core/scan/device_table.h"
#include "core/session/session_state.h"
#include "core/settings/language_texts.h"
#include "gui/app/dialog_form.h"
#include "gui/clock/pc_clock.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace zek {

class ClockPanel;
class DebugPanel;
class DeviceTree;
class DstPanel;
class HelpCommands;
class LanguageLoader;
class LedGauge;
class LogList;
class NetworkSettingsPanel;
class PanelView;
class ScanEndpoint;
class SequenceDriver;
class SessionConnection;
class SessionPanels;
class SessionStateView;

// The main dialog: owns the controls and the subsystem objects and routes clicks,
// selections, menu commands and timer ticks to them.
class ZEKConfig : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerPeriodMs = 500;

    // `timerPeriodMs` is the period of both timers (500 ms in the product); the read
    // sequence's own periods are scaled by it, so tests may run the steps faster.
    explicit ZEKConfig(QWidget* parent = nullptr, int timerPeriodMs = kTimerPeriodMs);
    ~ZEKConfig() override;

    // Fills the controls, starts the timers and triggers the first search; once, after
    // the frame around the dialog exists.
    void SetupWindow();

    void AppendLogLine(const QString& line);
    // Runs the action of a main-window button or a menu command by its ID, as a click would.
    void DispatchButton(int id);
    void ToggleView();
    // Shows a module's software text and checks the feature letters it contains.
    void updateFeatureLetters(const QString& software);
    // Enabling and check marks of menu items before a menu shows.
    void EvCommandEnable(int id, bool& enabled, bool& checked) const;

    template <class T> T* control(int id) const { return m_form->control<T>(id); }
    QWidget* widget(int id) const { return m_form->widget(id); }

    bool isCompactView() const { return m_compactView; }
    // The clock the PC time rows show; the system clock unless a test fixes one.
    void setPcClock(PcClock clock);
    bool flyOver() const { return m_flyOver; }
    SessionState sessionState() const;

signals:
    // The user chose Program > Exit.
    void exitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The part of the dialog that one panel may use.
    PanelView view(Panel panel) const;
    // Enter in one of the dialog's controls presses the default button of its part.
    bool pressEnterButton(QWidget* target);
    void buildDispatchTable();
    void routeControls();
    void interfaceSelected();
    void languageSelected();
    void sortOrderSelected();
    // A Language menu entry: selects that language as the list would.
    void languageCommand(int index);
    void toggleFlyOver();
    void ReadSettings();
    void WriteSettings();
    void timerATick();
    void timerBTick();
    void onDatagram(const DecodedDatagram& decoded);
    QImage blendedLogo() const;
    QString settingsPath() const;

    int m_timerPeriodMs;
    QString m_startDirectory;
    // The installed settings file read because the start directory has none; empty otherwise.
    QString m_settingsDefault;
    std::unique_ptr<DialogForm> m_form;
    LogList* m_log;
    LedGauge* m_gauge;
    LanguageTexts m_texts;
    DeviceTable m_table;
    std::unique_ptr<ScanEndpoint> m_endpoint;
    std::unique_ptr<NetworkSettingsPanel> m_panel;
    std::unique_ptr<DeviceTree> m_tree;
    std::unique_ptr<LanguageLoader> m_language;
    std::unique_ptr<SessionPanels> m_panels;
    std::unique_ptr<ClockPanel> m_clock;
    std::unique_ptr<DstPanel> m_dst;
    std::unique_ptr<SessionConnection> m_session;
    std::unique_ptr<SessionStateView> m_stateView;
    std::unique_ptr<SequenceDriver> m_sequence;
    std::unique_ptr<DebugPanel> m_debug;
    std::unique_ptr<HelpCommands> m_help;
    QHash<int, std::function<void()>> m_buttons;
    // What each tick of timer A does, in order.
    std::vector<std::function<void()>> m_timerATickers;
    QTimer m_timerA;
    QTimer m_timerB;
    QImage m_logo;
    QSize m_fullSize;
    QSize m_compactSize;
    bool m_compactView = false;
    bool m_flyOver = true;
    bool m_settingsWritingEnabled = false;
    int m_currentLanguage = -1;
    bool m_deferredLanguagePending = false;
};

} // namespace zek
