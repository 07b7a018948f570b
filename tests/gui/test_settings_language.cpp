// The settings file and the language files in the real window: choices that survive a
// restart, the deferred language call, how the saved language is found, what every key
// of a language file reaches, tooltips and Fly over, the Language menu, and bad files.
#include "gui_helpers.h"

#include "core/scan/device_protocol.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "gui/scan/device_tree.h"
#include "gui/session/session_connection.h"
#include "gui/settings/language_loader.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

using namespace zek;
using namespace zek::test;

namespace {

constexpr int kTimeoutMs = 5000;
const QString kSettings = QStringLiteral("MERIDON_Brisklink.ini");

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(QDir::current().filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString& name) {
    QFile file(QDir::current().filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The shipped language files, copied into the start directory.
void copyShippedLanguages() {
    const QDir resources(
        QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../resources")));
    for (const QString& name : {QStringLiteral("LANG01.ini"), QStringLiteral("LANG02.ini")}) {
        QFile::remove(name);
        QVERIFY(QFile::copy(resources.filePath(name), QDir::current().filePath(name)));
    }
}

// A language file that marks itself in the Search button.
QByteArray markerLanguage(const char* search) {
    return QByteArray("[GROUPBOX_SOCKET_COMMUNICATION]\r\nBUTTON_SEARCH=") + search + "\r\n";
}

struct Saved {
    int interface;
    QString language;
    int sort;
};

Saved savedSettings() {
    const TProfile profile("BASIC_SETTINGS", QDir::current().filePath(kSettings).toStdString());
    return {profile.GetInt("ETH_INTERFACE", -9),
            QString::fromStdString(profile.GetString("LANGUAGE", "<none>")),
            profile.GetInt("TREE_SORTING", -9)};
}

QString caption(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    return QStringLiteral("<no caption>");
}

QStringList items(QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QMenu* popup(GuiFixture& f, int index) {
    return f.app().menu(index);
}

QStringList actionTexts(QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

QAction* action(QMenu* menu, int id) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QString::number(id))
            return a;
    return nullptr;
}

// Whether a tooltip request on the widget shows its tip; a tip still up from before is
// first let go (hiding takes a moment).
bool tipShows(QWidget* w) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, kTimeoutMs))
        return true;
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &help);
    return QToolTip::isVisible() && QToolTip::text() == w->toolTip();
}

void selectSortOrder(GuiFixture& f, int order) {
    auto* sort = f.dialog().control<QComboBox>(5152);
    sort->setCurrentIndex(order);
    emit sort->activated(order);
}

} // namespace

class TestSettingsLanguage : public QObject {
    Q_OBJECT
private slots:
    void choicesSurviveARestart();
    void deferredCallWritesAppliesAndSearches();
    void savedLanguageIsFound_data();
    void savedLanguageIsFound();
    void everyKeyReachesItsTarget();
    void captionTooltipAndRefilledLists();
    void applyingTwiceAddsNoTooltips();
    void flyOverTogglesTipsAndCheckMark();
    void languageMenuBeyondThirtyEntries();
    void languageFilesFromTheDataDirectory();
    void languageMenuGreyWhileSessionNotIdle();
    void badFilesApplyDefaults_data();
    void badFilesApplyDefaults();
};

void TestSettingsLanguage::choicesSurviveARestart() {
    GuiFixture f;
    copyShippedLanguages();
    writeFile(kSettings, "; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nLANG02=English\r\n");
    QVERIFY(f.startFleet({GuiFixture::module(3, "beta"), GuiFixture::module(20, "Alpha")}));
    f.startApp();
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    const int interface = f.dialog().control<QComboBox>(5026)->currentIndex();
    f.dialog().MenuCommand(kLanguageCommandFirst);
    QCOMPARE(f.dialog().control<QPushButton>(5064)->text(), QStringLiteral("Suchen"));
    selectSortOrder(f, 2);
    QVERIFY(f.waitForModules(2));
    QCOMPARE(savedSettings().interface, interface);
    QCOMPARE(savedSettings().language, QStringLiteral("Deutsch"));
    QCOMPARE(savedSettings().sort, 2);
    QVERIFY(
        readFile(kSettings).startsWith("; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nLANG02=English\r\n"));

    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(d.control<QComboBox>(5026)->currentIndex(), interface);
    QCOMPARE(d.control<QComboBox>(5205)->currentText(), QStringLiteral("Deutsch"));
    QCOMPARE(d.control<QComboBox>(5152)->currentIndex(), 2);
    QCOMPARE(d.control<QComboBox>(5152)->currentText(), QStringLiteral("Name"));
    QCOMPARE(d.deviceTree().sortOrder(), 2);
    QCOMPARE(d.control<QPushButton>(5064)->text(), QStringLiteral("Suchen"));
    QCOMPARE(d.control<QPushButton>(5006)->text(), QStringLiteral("Verbinden"));
    QVERIFY(f.waitForModules(2));
    QCOMPARE(f.moduleNodeTexts(), (QStringList{" Alpha : 127.000.000.020", " beta : 127.000.000.003"}));
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 2"));
    const QStringList leaves = f.leafTexts(0);
    QVERIFY(leaves.contains(QStringLiteral("Netzmaske : 255.0.0.0")));
    QVERIFY(leaves.contains(QStringLiteral("Modus : Automatisch")));
    QVERIFY(leaves.contains(QStringLiteral("DHCP : aus")));
    // The German MAC label still leads the selection to the module.
    f.tree()->setCurrentItem(f.moduleNode(0)->child(0));
    QCOMPARE(d.control<QLineEdit>(5050)->text(), QStringLiteral("20"));
}

void TestSettingsLanguage::deferredCallWritesAppliesAndSearches() {
    GuiFixture f;
    copyShippedLanguages();
    const QByteArray settings = "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=english\n";
    writeFile(kSettings, settings);
    QVERIFY(f.startFleet({GuiFixture::module(3, "beta")}));
    f.startApp();
    ZEKConfig& d = f.dialog();
    // Set-up applied the language but wrote nothing and left the current language open.
    QCOMPARE(d.control<QComboBox>(5205)->currentIndex(), 1);
    QCOMPARE(d.control<QPushButton>(5064)->text(), QStringLiteral("Search"));
    QCOMPARE(d.currentLanguage(), -1);
    QCOMPARE(readFile(kSettings), settings);
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());

    writeFile(QStringLiteral("LANG02.ini"), markerLanguage("Look;Look again"));
    QTRY_COMPARE_WITH_TIMEOUT(d.currentLanguage(), 1, kTimeoutMs);
    QCOMPARE(d.control<QPushButton>(5064)->text(), QStringLiteral("Look"));
    QCOMPARE(readFile(kSettings),
             QByteArray("[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=English\n"
                        "ETH_INTERFACE=0\nTREE_SORTING=0\n"));
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());
}

void TestSettingsLanguage::savedLanguageIsFound_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("search");
    const QByteArray both = "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\n";
    QTest::newRow("letter case ignored") << both + "LANGUAGE=english\n"
                                         << QStringList{"Deutsch", "English"} << 1 << "two";
    QTest::newRow("an empty key shifts the list")
        << QByteArray("[BASIC_SETTINGS]\nLANG01=\nLANG02=English\nLANGUAGE=English\n")
        << QStringList{"English"} << 0 << "one";
    QTest::newRow("gaps and the 49th key")
        << QByteArray("[BASIC_SETTINGS]\nLANG03=Deutsch\nLANG49=English\nLANG50=Klingon\nLANGUAGE=ENGLISH\n")
        << QStringList{"Deutsch", "English"} << 1 << "two";
    QTest::newRow("no match") << both + "LANGUAGE=Klingon\n"
                              << QStringList{"Deutsch", "English"} << -1 << "Search";
    QTest::newRow("none saved") << both << QStringList{"Deutsch", "English"} << -1 << "Search";
}

void TestSettingsLanguage::savedLanguageIsFound() {
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, listed);
    QFETCH(int, selected);
    QFETCH(QString, search);
    GuiFixture f;
    writeFile(kSettings, settings);
    writeFile(QStringLiteral("LANG01.ini"), markerLanguage("one"));
    writeFile(QStringLiteral("LANG02.ini"), markerLanguage("two"));
    f.startApp();
    auto* languages = f.dialog().control<QComboBox>(5205);
    QCOMPARE(items(languages), listed);
    QCOMPARE(languages->currentIndex(), selected);
    QCOMPARE(f.dialog().control<QPushButton>(5064)->text(), search);
    // The menu offers the languages whether or not one was applied; the first replaces
    // the placeholder.
    QCOMPARE(actionTexts(popup(f, 1)), listed);
    QCOMPARE(action(popup(f, 1), kLanguageCommandFirst)->text(), listed.first());
    if (selected >= 0)
        QTRY_COMPARE_WITH_TIMEOUT(f.dialog().currentLanguage(), selected, kTimeoutMs);
}

void TestSettingsLanguage::everyKeyReachesItsTarget() {
    // Each key's value names the key; a value with both parts is "c:KEY;t:KEY".
    QByteArray file;
    QByteArray section;
    for (const LanguageKey& key : languageKeys()) {
        if (key.section != std::string_view(section.constData(), std::size_t(section.size()))) {
            section = QByteArray(key.section.data(), qsizetype(key.section.size()));
            file += "[" + section + "]\n";
        }
        for (const std::string& name : keyNames(key))
            file += QByteArray::fromStdString(name + "=c:" + name + ";t:" + name + "\n");
    }
    GuiFixture f;
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Only\n");
    writeFile(QStringLiteral("LANG01.ini"), file);
    f.startApp();
    ZEKConfig& d = f.dialog();
    d.MenuCommand(kLanguageCommandFirst);

    for (const LanguageKey& key : languageKeys()) {
        const QString name = QString::fromUtf8(key.key.data(), qsizetype(key.key.size()));
        const QString both = QStringLiteral("c:%1;t:%1").arg(name);
        const QString cap = QStringLiteral("c:") + name;
        const QString tip = QStringLiteral("t:") + name;
        const auto limited = [&](const QString& text) { return text.left(int(key.limit)); };
        switch (key.use) {
        case KeyUse::PopupTitle:
            QCOMPARE(popup(f, key.control)->title(), both);
            break;
        case KeyUse::MenuItem:
            QCOMPARE(action(popup(f, key.popup), key.control)->text(), both);
            break;
        case KeyUse::LanguageItems:
            QCOMPARE(actionTexts(popup(f, 1)), QStringList{"Only"});
            break;
        case KeyUse::Caption:
            QCOMPARE(caption(d.widget(key.control)), both);
            break;
        case KeyUse::Tip:
        case KeyUse::TipAndCaption:
            for (const int id : key.tips)
                if (id != 0)
                    QCOMPARE(d.widget(id)->toolTip(), tip);
            if (key.use == KeyUse::TipAndCaption)
                QCOMPARE(caption(d.widget(key.control)), cap);
            break;
        case KeyUse::TipAndRowCaption:
            for (const int id : key.tips)
                if (id != 0)
                    QCOMPARE(d.widget(id)->toolTip(), tip);
            QCOMPARE(caption(d.widget(key.control)), cap);
            QCOMPARE(d.widget(key.control)->toolTip(), cap);
            break;
        case KeyUse::ListEntries: {
            QStringList expected;
            for (const std::string& entry : keyNames(key))
                expected << limited(QStringLiteral("c:%1;t:%1").arg(QString::fromStdString(entry)));
            for (const int id : key.list->lists)
                if (id != 0)
                    QCOMPARE(items(d.control<QComboBox>(id)), expected);
            break;
        }
        case KeyUse::OnlineText:
        case KeyUse::StoredText:
        case KeyUse::ConnectCaption:
            QCOMPARE(QString::fromStdString(d.texts().text(key.key)), limited(both));
            break;
        case KeyUse::LeafLabel:
            break;
        }
    }
    // Items taken out and appended again keep their order; the Connect button shows the
    // caption of the idle state; a text is cut at its limit.
    QStringList help;
    for (const QAction* item : popup(f, 2)->actions())
        help << item->objectName();
    QCOMPARE(help, (QStringList{"5305", "5304", "5303", "5301"}));
    QCOMPARE(d.control<QPushButton>(5006)->text(),
             QStringLiteral("c:BUTTON_CONNECT_CONNECT;t:BUTTON_CONNECT_CONNECT"));
    QCOMPARE(d.texts().text("BUTTON_CONNECT_DISCONNECT").size(), kConnectCaptionMax);
    QCOMPARE(d.texts().text("TXT_ETH_MODE_4"), std::string("c:TXT_ETH_MODE_4;t:TXT_ETH_MODE_4"));
    QCOMPARE(d.language().tips().size(), std::size_t(75));
}

void TestSettingsLanguage::captionTooltipAndRefilledLists() {
    GuiFixture f;
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=One\nLANG02=Two\n");
    writeFile(QStringLiteral("LANG01.ini"),
              "[GROUPBOX_SOCKET_COMMUNICATION]\nBUTTON_SEARCH=Search;Start a new search\n"
              "TXT_TREE_SORT_1=a\nTXT_TREE_SORT_2=b\nTXT_TREE_SORT_3=c\n"
              "[GROUPBOX_SETTINGS]\nTXT_IP=Address\nTXT_ETH_MODE_0=Auto\n"
              "[GROUPBOX_TELNET]\nTXT_TRAP_IP1=Trap 1;first receiver\n"
              "TXT_DST_MONTH_3=March\nTXT_DST_NR_5=last\n");
    writeFile(QStringLiteral("LANG02.ini"), "[GROUPBOX_SOCKET_COMMUNICATION]\nTXT_TREE_SORT_3=C\n"
                                            "[GROUPBOX_TELNET]\nTXT_DST_MONTH_12=Dec\n");
    f.startApp();
    ZEKConfig& d = f.dialog();
    // Before any language the refilled lists are empty.
    QCOMPARE(d.control<QComboBox>(5130)->count(), 0);
    d.MenuCommand(kLanguageCommandFirst);
    QCOMPARE(d.control<QPushButton>(5064)->text(), QStringLiteral("Search"));
    QCOMPARE(d.widget(5064)->toolTip(), QStringLiteral("Start a new search"));
    QCOMPARE(caption(d.widget(5083)), QStringLiteral("Address"));
    for (const int id : {5053, 5052, 5051, 5050})
        QCOMPARE(d.widget(id)->toolTip(), QStringLiteral("Address"));
    QCOMPARE(caption(d.widget(5170)), QStringLiteral("Trap 1"));
    QCOMPARE(d.widget(5170)->toolTip(), QStringLiteral("Trap 1"));
    QCOMPARE(d.widget(5098)->toolTip(), QStringLiteral("first receiver"));
    // Lists without a selection take their defaults: the last Sunday of March to October.
    const std::pair<int, int> defaults[] = {{5152, 0}, {5217, 0}, {5133, 4}, {5134, 4},
                                            {5127, 6}, {5128, 6}, {5130, 2}, {5129, 9}};
    for (const auto& [id, index] : defaults)
        QCOMPARE(d.control<QComboBox>(id)->currentIndex(), index);
    QCOMPARE(d.control<QComboBox>(5130)->currentText(), QStringLiteral("March"));
    QCOMPARE(d.control<QComboBox>(5133)->currentText(), QStringLiteral("last"));

    // Another language keeps every list's position with the new texts.
    selectSortOrder(f, 2);
    d.control<QComboBox>(5129)->setCurrentIndex(11);
    d.control<QComboBox>(5217)->setCurrentIndex(3);
    d.MenuCommand(kLanguageCommandFirst + 1);
    QCOMPARE(d.control<QComboBox>(5152)->currentIndex(), 2);
    QCOMPARE(d.control<QComboBox>(5152)->currentText(), QStringLiteral("C"));
    QCOMPARE(d.control<QComboBox>(5129)->currentText(), QStringLiteral("Dec"));
    QCOMPARE(d.control<QComboBox>(5217)->currentIndex(), 3);
    QCOMPARE(d.control<QComboBox>(5130)->currentIndex(), 2);
    // A key the file lacks gives an empty text, no longer the resource's.
    QCOMPARE(d.control<QPushButton>(5064)->text(), QString());
    QCOMPARE(d.widget(5064)->toolTip(), QString());
}

void TestSettingsLanguage::applyingTwiceAddsNoTooltips() {
    GuiFixture f;
    copyShippedLanguages();
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=Deutsch\n");
    f.startApp();
    LanguageLoader& language = f.dialog().language();
    const std::size_t registered = language.tips().size();
    const int attempts = language.tips().attempts();
    QCOMPARE(registered, std::size_t(75));
    QCOMPARE(f.dialog().widget(5064)->toolTip(), QStringLiteral("Module im Netzwerk suchen"));
    language.ApplyLanguage(QStringLiteral("LANG02.ini"));
    language.ApplyLanguage(QStringLiteral("LANG02.ini"));
    QCOMPARE(language.tips().size(), registered);
    QCOMPARE(language.tips().attempts(), attempts);
    QCOMPARE(f.dialog().widget(5064)->toolTip(), QStringLiteral("Search the network for modules"));
}

void TestSettingsLanguage::flyOverTogglesTipsAndCheckMark() {
    GuiFixture f;
    copyShippedLanguages();
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=English\n");
    f.startApp();
    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    QWidget* search = f.dialog().widget(5064);
    QMenu* help = popup(f, 2);
    QAction* flyOver = action(help, 5303);
    QVERIFY(flyOver);
    QCOMPARE(flyOver->text(), QStringLiteral("&Fly over"));
    emit help->aboutToShow();
    QVERIFY(flyOver->isChecked());
    QVERIFY(tipShows(search));

    flyOver->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), kTimeoutMs);
    emit help->aboutToShow();
    QVERIFY(!flyOver->isChecked());
    QVERIFY(!tipShows(search));

    flyOver->trigger();
    emit help->aboutToShow();
    QVERIFY(flyOver->isChecked());
    QVERIFY(tipShows(search));
    QToolTip::hideText();
}

void TestSettingsLanguage::languageMenuBeyondThirtyEntries() {
    QByteArray settings = "[BASIC_SETTINGS]\n";
    for (int n = 1; n <= 40; ++n)
        settings +=
            QByteArray::fromStdString(languageNameKey(n)) + "=Language " + QByteArray::number(n) + "\n";
    GuiFixture f;
    writeFile(kSettings, settings);
    writeFile(QStringLiteral("LANG33.ini"), markerLanguage("33"));
    f.startApp();
    QCOMPARE(popup(f, 1)->actions().size(), 40);
    // The 33rd entry works like the others: it is selected, saved, applied and checked.
    QAction* entry = action(popup(f, 1), kLanguageCommandFirst + 32);
    QVERIFY(entry);
    emit popup(f, 1)->aboutToShow();
    QVERIFY(entry->isEnabled());
    entry->trigger();
    QCOMPARE(f.dialog().currentLanguage(), 32);
    QCOMPARE(f.dialog().control<QPushButton>(5064)->text(), QStringLiteral("33"));
    QCOMPARE(savedSettings().language, QStringLiteral("Language 33"));
    emit popup(f, 1)->aboutToShow();
    QVERIFY(entry->isChecked());
    QVERIFY(!action(popup(f, 1), kLanguageCommandFirst)->isChecked());

    // A listed language without a file leaves the texts as they are and says so.
    f.dialog().MenuCommand(kLanguageCommandFirst + 39);
    QCOMPARE(f.dialog().currentLanguage(), 39);
    QCOMPARE(f.dialog().control<QPushButton>(5064)->text(), QStringLiteral("33"));
    QVERIFY(f.logLines().contains(
        QStringLiteral("Language file LANG40.ini not found; the texts stay as they are")));
    // Commands past the list do nothing.
    f.dialog().MenuCommand(kLanguageCommandFirst + 45);
    QCOMPARE(f.dialog().currentLanguage(), 39);
}

void TestSettingsLanguage::languageFilesFromTheDataDirectory() {
    GuiFixture f;
    f.startApp();
    LanguageLoader& language = f.dialog().language();
    const QString shared =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zekconfig"));
    const QStringList path = language.searchPath();
    QCOMPARE(path.first(), f.dialog().startDirectory());
    QCOMPARE(path.last(), shared);
    QCOMPARE(path.size(), 3);

    QVERIFY(QDir().mkpath(shared));
    const auto cleanup = qScopeGuard([&] {
        QFile::remove(shared + QStringLiteral("/LANG49.ini"));
        QDir().rmdir(shared);
        QDir().rmdir(QFileInfo(shared).path());
    });
    writeFile(shared + QStringLiteral("/LANG49.ini"), markerLanguage("shared"));
    language.ApplyLanguage(QStringLiteral("LANG49.ini"));
    QCOMPARE(f.dialog().control<QPushButton>(5064)->text(), QStringLiteral("shared"));
    writeFile(QStringLiteral("LANG49.ini"), markerLanguage("start"));
    language.ApplyLanguage(QStringLiteral("LANG49.ini"));
    QCOMPARE(f.dialog().control<QPushButton>(5064)->text(), QStringLiteral("start"));
}

void TestSettingsLanguage::languageMenuGreyWhileSessionNotIdle() {
    GuiFixture f;
    copyShippedLanguages();
    writeFile(kSettings,
              "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=English\nETH_INTERFACE=2\n");
    QVERIFY(f.startFleet({GuiFixture::module(5, "boiler")}));
    f.startApp();
    QCOMPARE(f.dialog().control<QComboBox>(5026)->currentText(), QStringLiteral("3: 127.0.0.1"));
    QTRY_COMPARE_WITH_TIMEOUT(f.dialog().currentLanguage(), 1, kTimeoutMs);
    QVERIFY(f.waitForModules(1));
    f.tree()->setCurrentItem(f.moduleNode(0));
    QMenu* languages = popup(f, 1);
    auto states = [&] {
        emit languages->aboutToShow();
        QList<std::pair<bool, bool>> enabledChecked;
        for (const QAction* a : languages->actions())
            enabledChecked.append({a->isEnabled(), a->isChecked()});
        return enabledChecked;
    };
    const QList<std::pair<bool, bool>> idle = {{true, false}, {true, true}};
    QCOMPARE(states(), idle);

    f.click(5006);
    QCOMPARE(f.dialog().control<QPushButton>(5006)->text(), QStringLiteral("Cancel"));
    QCOMPARE(states(), (QList<std::pair<bool, bool>>{{false, false}, {false, true}}));
    QVERIFY(
        QTest::qWaitFor([&] { return f.dialog().sessionState() == SessionState::Connected; }, kTimeoutMs));
    QCOMPARE(f.dialog().control<QPushButton>(5006)->text(), QStringLiteral("Disconnect"));
    QCOMPARE(states(), (QList<std::pair<bool, bool>>{{false, false}, {false, true}}));
    f.click(5006);
    QCOMPARE(states(), idle);
    QCOMPARE(f.dialog().control<QPushButton>(5006)->text(), QStringLiteral("Connect"));
}

void TestSettingsLanguage::badFilesApplyDefaults_data() {
    QTest::addColumn<QByteArray>("settings"); // "<dir>" puts a directory in the file's place
    QTest::addColumn<QByteArray>("language"); // LANG01.ini; empty for none
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("sort");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("logged");
    const QByteArray good = "[GROUPBOX_SOCKET_COMMUNICATION]\nBUTTON_SEARCH=Go;Go search\n";
    const QByteArray listX = "[BASIC_SETTINGS]\nLANG01=X\nLANGUAGE=X\n";
    QTest::newRow("missing") << QByteArray() << QByteArray() << QStringList{} << -1 << 0 << "Search"
                             << QString();
    QTest::newRow("unreadable") << QByteArray("<dir>") << good << QStringList{} << -1 << 0 << "Search"
                                << "Settings file %PATH% cannot be read; defaults apply";
    QTest::newRow("lines without =")
        << QByteArray("[BASIC_SETTINGS]\nLANG01\n=\nnonsense\n\x01\x02\nLANG02=Deutsch\nLANGUAGE=deutsch\n"
                      "TREE_SORTING=abc\n")
        << good << QStringList{"Deutsch"} << 0 << 0 << "Go" << QString();
    QTest::newRow("huge settings values")
        << QByteArray("[BASIC_SETTINGS]\nLANG01=" + QByteArray(200000, 'x') +
                      "\nLANGUAGE=" + QByteArray(5000, 'x') + "\n")
        << good << QStringList{QString(int(kLanguageNameMax), QLatin1Char('x'))} << -1 << 0 << "Search"
        << "Settings: LANGUAGE=%999X% is none of the listed languages";
    QTest::newRow("huge language value")
        << listX
        << QByteArray("[GROUPBOX_SOCKET_COMMUNICATION]\nBUTTON_SEARCH=" + QByteArray(100000, 'y') + "\n")
        << QStringList{"X"} << 0 << 0 << QString(int(kProfileTextMax), QLatin1Char('y')) << QString();
    QTest::newRow("not UTF-8") << QByteArray("[BASIC_SETTINGS]\nLANG01=Fran\xE7"
                                             "ais\nLANGUAGE=FRAN\xC7"
                                             "AIS\n")
                               << QByteArray(
                                      "[GROUPBOX_SOCKET_COMMUNICATION]\nBUTTON_SEARCH=Chercher \xE0 \x80\n")
                               << QStringList{QString::fromUtf8("Fran\xC3\xA7"
                                                                "ais")}
                               << 0 << 0 << QString::fromUtf8("Chercher \xC3\xA0 \xE2\x82\xAC") << QString();
    QTest::newRow("interface beyond the list")
        << QByteArray("[BASIC_SETTINGS]\nETH_INTERFACE=99\nTREE_SORTING=-4\n") << QByteArray()
        << QStringList{} << -1 << 0 << "Search"
        << "Settings: ETH_INTERFACE=99 names none of the 3 PC interfaces; the first one is used";
    QTest::newRow("sort order too large") << QByteArray("[BASIC_SETTINGS]\nTREE_SORTING=7\n") << QByteArray()
                                          << QStringList{} << -1 << 2 << "Search"
                                          << "Settings: TREE_SORTING=7 is outside 0-2; 2 is used";
    const char garbage[] = "\xFF\xFE\0\0[GROUPBOX_SOCKET_COMMUNICATION]\n\0BUTTON_SEARCH=a\n\x80\x81\x82";
    QTest::newRow("garbage language file")
        << listX << QByteArray(garbage, sizeof garbage - 1) << QStringList{"X"} << 0 << 0 << "" << QString();
    QTest::newRow("language file missing")
        << listX << QByteArray() << QStringList{"X"} << 0 << 0 << "Search"
        << "Language file LANG01.ini not found; the texts stay as they are";
}

void TestSettingsLanguage::badFilesApplyDefaults() {
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, language);
    QFETCH(QStringList, listed);
    QFETCH(int, selected);
    QFETCH(int, sort);
    QFETCH(QString, search);
    QFETCH(QString, logged);
    GuiFixture f;
    const bool directory = settings == "<dir>";
    if (directory)
        QVERIFY(QDir::current().mkdir(kSettings));
    else if (!settings.isEmpty())
        writeFile(kSettings, settings);
    if (!language.isEmpty())
        writeFile(QStringLiteral("LANG01.ini"), language);
    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(items(d.control<QComboBox>(5205)), listed);
    QCOMPARE(d.control<QComboBox>(5205)->currentIndex(), selected);
    QCOMPARE(d.control<QComboBox>(5026)->currentIndex(), 0);
    QCOMPARE(d.deviceTree().sortOrder(), sort);
    QCOMPARE(d.control<QPushButton>(5064)->text(), search);
    if (!logged.isEmpty())
        QVERIFY2(
            f.logLines().contains(QString(logged)
                                      .replace(QStringLiteral("%PATH%"), QDir::current().filePath(kSettings))
                                      .replace(QStringLiteral("%999X%"), QString(999, QLatin1Char('x')))),
            qPrintable(f.logLines().join(QLatin1Char('\n'))));
    if (settings.isEmpty())
        QVERIFY(!QFile::exists(kSettings));

    // The user's next choice stores sound values, or says why it cannot.
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    if (directory) {
        QVERIFY(f.logLines().contains(
            QStringLiteral("Settings file %1 cannot be written").arg(QDir::current().filePath(kSettings))));
        return;
    }
    const Saved saved = savedSettings();
    QCOMPARE(saved.interface, 2);
    QCOMPARE(saved.sort, sort);
    QCOMPARE(saved.language, selected < 0 ? QString() : listed.at(selected).left(int(kLanguageSettingMax)));
}

QTEST_MAIN(TestSettingsLanguage)
#include "test_settings_language.moc"
