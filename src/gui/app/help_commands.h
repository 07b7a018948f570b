#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QWidget;

namespace zek {

struct DeviceRecord;

// The Help menu's documents and About box and the website buttons: each opens its
// address with the desktop's viewer, silently giving up when none starts.
class HelpCommands {
public:
    struct Wiring {
        // The main dialog; its window, the frame, is the About box's parent.
        QWidget& dialog;
        const QString& startDirectory;
        // A file in the start directory, else where it is installed; empty when neither has it.
        std::function<QString(const QString&)> locate;
        // The module selected in the device list; nullptr when none is.
        std::function<const DeviceRecord*()> selected;
    };

    explicit HelpCommands(Wiring wiring) : m_w(std::move(wiring)) {}

    void addButtonActions(QHash<int, std::function<void()>>& actions);

    // The technical page is the module's web server on the HTTP port; the user page is
    // served on the module's own TCP port.
    static constexpr int kTechnicalWebPort = 80;
    static constexpr int kUserWebPort = 0;

private:
    void openManual() const;
    void openModulePage(int port) const;
    void showAbout() const;

    Wiring m_w;
};

} // namespace zek
