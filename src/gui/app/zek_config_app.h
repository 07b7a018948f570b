#pragma once

#include <QObject>

#include <memory>

class QMainWindow;
class QMenu;

namespace zek {

class ZEKConfig;

// The application: builds the frame with its menu around the main dialog and owns the
// program's tooltips (fly-over help), which it switches on and off for every control.
class TZEKConfigApp : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kAppName = "ZEK-Configurator";

    // The dialog's timer period; 500 ms in the product.
    explicit TZEKConfigApp(int timerPeriodMs = 500);
    ~TZEKConfigApp() override;

    // Builds the frame, the dialog, the menu and the tooltip; runs the dialog's set-up.
    void BuildMainWindow();

    QMainWindow* frame() const { return m_frame.get(); }
    ZEKConfig* dialog() const { return m_dialog; }
    QMenu* menu(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();

    std::unique_ptr<QMainWindow> m_frame;
    ZEKConfig* m_dialog = nullptr;
    int m_timerPeriodMs;
};

} // namespace zek
