#include "gui_helpers.h"

#include <QtTest>
#include <QtWidgets>

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

SimModuleConfig GuiFixture::quietModule() {
    SimModuleConfig m = module(5, "boiler");
    m.state.startTimeLines = false;
    return m;
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

void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

bool underWine() {
    return QSysInfo::productType() == QLatin1String("windows") &&
           !QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\Wine"), QSettings::NativeFormat)
                .childGroups()
                .isEmpty();
}

void GuiFixture::installLanguageFiles() {
    const QDir resources(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/" ZEK_RESOURCES_FROM_PROGRAM));
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
    auto* list = dialog().control<QComboBox>(ctl::PcIpList);
    const int i = list->findText(QStringLiteral(": ") + address, Qt::MatchEndsWith);
    if (i >= 0)
        choose(list, i);
    return i >= 0;
}

bool GuiFixture::openWindow(const SimModuleConfig& module, bool autoRead) {
    if (!startFleet({module}))
        return false;
    startApp();
    if (!selectInterface(QStringLiteral("127.0.0.1")) || !waitForModules(1))
        return false;
    tree()->setCurrentItem(moduleNode(0));
    dialog().control<QCheckBox>(ctl::AutoRead)->setChecked(autoRead);
    return true;
}

bool GuiFixture::connectSession() {
    const qsizetype mark = logLines().size();
    click(ctl::Connect);
    // The read sequence traces its steps; back at step 0 after step 3 it is done.
    const auto done = [&] {
        const QStringList lines = logLines().mid(mark);
        return lines.contains(QStringLiteral("State: 3")) && lines.last() == QStringLiteral("State: 0");
    };
    return QTest::qWaitFor(done, 5000) && dialog().sessionState() == SessionState::Connected;
}

bool GuiFixture::waitForState(SessionState state, int timeoutMs) const {
    return QTest::qWaitFor([&] { return dialog().sessionState() == state; }, timeoutMs);
}

QStringList GuiFixture::childTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

QStringList GuiFixture::logLines() const {
    QStringList lines;
    const QAbstractItemModel* log = dialog().control<QListView>(ctl::LogList)->model();
    for (int i = 0; i < log->rowCount(); ++i)
        lines << log->index(i, 0).data().toString();
    return lines;
}

bool GuiFixture::waitForModules(int count, int timeoutMs) const {
    return QTest::qWaitFor([&] { return tree()->topLevelItem(0)->childCount() >= count; }, timeoutMs) &&
           tree()->topLevelItem(0)->childCount() == count;
}

Received GuiFixture::waitForRequest(quint8 command, int timeoutMs) {
    const auto matches = [&](const Received& r) {
        return r.bytes.size() > 1 && quint8(r.bytes[1]) == command;
    };
    const auto find = [&] { return std::find_if(m_requests.begin(), m_requests.end(), matches); };
    if (!QTest::qWaitFor([&] { return find() != m_requests.end(); }, timeoutMs))
        return {};
    return m_requests.takeAt(find() - m_requests.begin());
}

void GuiFixture::click(int id) const {
    // click() acts like a user's click on the control whatever its geometry, and like one
    // it does nothing on a disabled control.
    auto* button = qobject_cast<QAbstractButton*>(dialog().widget(id));
    if (button && button->isEnabled())
        button->click();
}

} // namespace zek::test
