#include "gui_helpers.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMainWindow>
#include <QTest>
#include <QTreeWidget>

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace zek::test {

GuiFixture::GuiFixture(int timerPeriodMs) : m_timerPeriodMs(timerPeriodMs), m_oldDir(QDir::currentPath()) {
    initResources();
    QDir::setCurrent(m_startDir.path());
}

GuiFixture::~GuiFixture() {
    m_app.reset();
    m_fleet.reset();
    QDir::setCurrent(m_oldDir);
}

SimModuleConfig GuiFixture::module(int host, const char* name, std::optional<quint8> mode) {
    SimModuleConfig config;
    config.mac = {0x00, 0x50, 0xC2, 0x00, quint8(host >> 8), quint8(host)};
    config.serial = quint32(1000 + host);
    config.network.ip = 0x7F000000u | quint32(host);
    config.network.netmask = 0xFF000000u;
    config.network.gateway = 0x7F000001u;
    config.network.port = quint16(10000 + host);
    config.network.setName(name);
    config.network.mode = mode;
    return config;
}

bool GuiFixture::startFleet(const std::vector<SimModuleConfig>& modules, FleetOptions options) {
    m_fleet = std::make_unique<SimFleet>(modules);
    m_fleet->setOptions(options);
    QObject::connect(m_fleet.get(), &SimFleet::requestReceived,
                     [this](const QByteArray& bytes, const QHostAddress& sender, quint16) {
                         m_requests.append({bytes, sender});
                     });
    return m_fleet->start();
}

void GuiFixture::installLanguageFiles() {
    const QDir resources(
        QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../resources")));
    for (const char* name : {"LANG01.ini", "LANG02.ini", "MERIDON_Brisklink.ini"})
        QFile::copy(resources.filePath(QString::fromLatin1(name)),
                    QDir::current().filePath(QString::fromLatin1(name)));
}

void GuiFixture::startApp() {
    m_app = std::make_unique<TZEKConfigApp>(m_timerPeriodMs);
    m_app->BuildMainWindow();
    m_app->frame()->show();
}

bool GuiFixture::selectInterface(const QString& address) {
    auto* list = dialog().control<QComboBox>(5026);
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i).endsWith(QStringLiteral(": ") + address)) {
            list->setCurrentIndex(i);
            emit list->activated(i);
            return true;
        }
    }
    return false;
}

QTreeWidget* GuiFixture::tree() const {
    return dialog().control<QTreeWidget>(5150);
}

QTreeWidgetItem* GuiFixture::moduleNode(int i) const {
    return tree()->topLevelItem(0)->child(i);
}

QStringList GuiFixture::moduleNodeTexts() const {
    QStringList texts;
    const QTreeWidgetItem* top = tree()->topLevelItem(0);
    for (int i = 0; i < top->childCount(); ++i)
        texts << top->child(i)->text(0);
    return texts;
}

QStringList GuiFixture::leafTexts(int i) const {
    QStringList texts;
    const QTreeWidgetItem* node = moduleNode(i);
    for (int n = 0; n < node->childCount(); ++n)
        texts << node->child(n)->text(0);
    return texts;
}

QStringList GuiFixture::logLines() const {
    QStringList lines;
    const auto* log = dialog().control<QListWidget>(5010);
    for (int i = 0; i < log->count(); ++i)
        lines << log->item(i)->text();
    return lines;
}

bool GuiFixture::waitForModules(int count, int timeoutMs) const {
    return QTest::qWaitFor([&] { return tree()->topLevelItem(0)->childCount() >= count; }, timeoutMs) &&
           tree()->topLevelItem(0)->childCount() == count;
}

QList<Received> GuiFixture::takeRequests() {
    return std::exchange(m_requests, {});
}

Received GuiFixture::waitForRequest(quint8 command, int timeoutMs) {
    Received found;
    (void)QTest::qWaitFor(
        [&] {
            for (qsizetype i = 0; i < m_requests.size(); ++i) {
                if (m_requests[i].bytes.size() > 1 && quint8(m_requests[i].bytes[1]) == command) {
                    found = m_requests.takeAt(i);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

void GuiFixture::click(int id) const {
    // click() acts like a user's click on the control whatever its geometry, and like one
    // it does nothing on a disabled control.
    auto* button = qobject_cast<QAbstractButton*>(dialog().widget(id));
    if (button && button->isEnabled())
        button->click();
}

} // namespace zek::test
