#pragma once

#include "core/app/control_ids.h"
#include "gui/app/zek_config.h"
#include "gui/app/zek_config_app.h"
#include "sim/sim_fleet.h"

#include <QComboBox>
#include <QHostAddress>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>
#include <vector>

namespace zek::test {

struct Received {
    QByteArray bytes;
    QHostAddress sender;
};

// Picks the entry as the user does, with the activation the window acts on.
void choose(QComboBox* list, int index);

// True under wine, whose sockets do not tell every failure as Windows does.
bool underWine();

// The real window driven against an embedded simulated fleet on loopback, started in a
// fresh temporary start directory.
class GuiFixture {
public:
    // Tests that only need the order of the read sequence's steps run the timers faster.
    explicit GuiFixture(int timerPeriodMs = 500);
    ~GuiFixture();

    // A module on 127.0.0.<host> with a MAC ending in <host>, port 10000 + host.
    static SimModuleConfig module(int host, const char* name, std::optional<quint8> mode = 0);
    // Module 5 "boiler", whose start message has no clock lines.
    static SimModuleConfig quietModule();

    bool startFleet(const std::vector<SimModuleConfig>& modules, FleetOptions options = {});
    void startApp();
    // Copies the shipped language files and default settings into the start directory.
    static void installLanguageFiles();
    // Selects the PC interface with this address, as the user would in "PC-IP:".
    bool selectInterface(const QString& address);
    // The fleet of this one module, the window on 127.0.0.1 with the module found and
    // selected, "Read settings automatically" set to `autoRead`.
    bool openWindow(const SimModuleConfig& module, bool autoRead = false);
    // Presses Connect and waits until the identity read that follows has finished.
    bool connectSession();
    bool waitForState(SessionState state, int timeoutMs = 5000) const;
    QString text(int id) const { return dialog().widget(id)->property("text").toString(); }

    ZEKConfig& dialog() const { return *m_app->dialog(); }
    TZEKConfigApp& app() const { return *m_app; }
    SimFleet& fleet() const { return *m_fleet; }
    QTreeWidget* tree() const { return dialog().control<QTreeWidget>(ctl::Tree); }
    QTreeWidgetItem* moduleNode(int i) const { return tree()->topLevelItem(0)->child(i); }
    QStringList moduleNodeTexts() const { return childTexts(tree()->topLevelItem(0)); }
    QStringList leafTexts(int i) const { return childTexts(moduleNode(i)); }
    QStringList logLines() const;

    bool waitForModules(int count, int timeoutMs = 5000) const;
    QList<Received> takeRequests() { return std::exchange(m_requests, {}); }
    // Waits for a datagram with this command byte; empty on timeout.
    Received waitForRequest(quint8 command, int timeoutMs = 5000);
    void click(int id) const;

private:
    static QStringList childTexts(const QTreeWidgetItem* item);
    int m_timerPeriodMs;
    QTemporaryDir m_startDir;
    QString m_oldDir;
    std::unique_ptr<SimFleet> m_fleet;
    std::unique_ptr<TZEKConfigApp> m_app;
    QList<Received> m_requests;
};

// The window connected to one module with its identity read, for tests of what a session does.
class ConnectedFixture : public GuiFixture {
public:
    explicit ConnectedFixture(const SimModuleConfig& module = quietModule(), int timerPeriodMs = 50)
        : GuiFixture(timerPeriodMs), ready(openWindow(module) && connectSession()) {}
    const bool ready;
};

} // namespace zek::test
