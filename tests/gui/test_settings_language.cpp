// The settings file and the language files in the real window: choices that survive a
// restart, the deferred language call, what every key of a language file reaches,
// tooltips and Fly over, the Language menu, and bad files. Which saved choice is taken
// is decided in core and pinned by its tables; these tests check that the window shows it.
#include "gui_helpers.h"

#include "core/app/control_ids.h"
#include "core/scan/device_protocol.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"

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
#include <QRegularExpression>
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

// A language file that marks itself in the Search button.
QByteArray markerLanguage(const char* search) {
    return QByteArray("[GROUPBOX_SOCKET_COMMUNICATION]\r\nBUTTON_SEARCH=") + search + "\r\n";
}

// ETH_INTERFACE, LANGUAGE and TREE_SORTING as the file holds them.
QString saved() {
    const TProfile p("BASIC_SETTINGS", QDir::current().filePath(kSettings).toStdString());
    return QStringLiteral("%1 %2 %3")
        .arg(p.GetInt("ETH_INTERFACE", -9))
        .arg(QString::fromStdString(p.GetString("LANGUAGE", "<none>")))
        .arg(p.GetInt("TREE_SORTING", -9));
}

QString caption(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    return qobject_cast<QLabel*>(w)->text();
}

QStringList items(QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QAction* action(QMenu* menu, int id) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QString::number(id))
            return a;
    return nullptr;
}

// The menu as the user opens it: per entry 'e' or '-' for enabled, 'c' when checked.
QStringList menuStates(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList states;
    for (const QAction* a : menu->actions())
        states << QLatin1String(a->isEnabled() ? "e" : "-") + QLatin1String(a->isChecked() ? "c" : "");
    return states;
}

int checkedLanguage(GuiFixture& f) {
    return int(menuStates(f.app().menu(1)).indexOf(QRegularExpression(QStringLiteral(".c"))));
}

int tooltipCount(GuiFixture& f) {
    int count = 0;
    for (const QWidget* w : f.dialog().findChildren<QWidget*>())
        count += w->toolTip().isEmpty() ? 0 : 1;
    return count;
}

// Whether a tooltip request on the widget shows its tip; a tip still up is first let go.
bool tipShows(QWidget* w) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, kTimeoutMs))
        return true;
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &help);
    return QToolTip::isVisible() && QToolTip::text() == w->toolTip();
}

QString searchCaption(const GuiFixture& f) {
    return f.dialog().control<QPushButton>(ctl::Search)->text();
}

void choose(GuiFixture& f, int list, int index) {
    auto* combo = f.dialog().control<QComboBox>(list);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

class TestSettingsLanguage : public QObject {
    Q_OBJECT
private slots:
    void choicesSurviveARestart();
    void deferredCallWritesAppliesAndSearches();
    void everyKeyReachesItsTarget();
    void refilledListsKeepTheirPlaces();
    void tipsAndFlyOver();
    void languageMenu();
    void languageFilesFromTheDataDirectory();
    void startupReadsTheFiles_data();
    void startupReadsTheFiles();
};

void TestSettingsLanguage::choicesSurviveARestart() {
    GuiFixture f;
    GuiFixture::installLanguageFiles();
    writeFile(kSettings, "; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nLANG02=English\r\n");
    QVERIFY(f.startFleet({GuiFixture::module(3, "beta"), GuiFixture::module(20, "Alpha")}));
    f.startApp();
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    f.dialog().DispatchButton(cmd::LanguageFirst);
    choose(f, ctl::SortList, 2);
    QVERIFY(f.waitForModules(2));
    QCOMPARE(saved(), QStringLiteral("2 Deutsch 2"));
    QVERIFY(
        readFile(kSettings).startsWith("; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nLANG02=English\r\n"));

    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(d.control<QComboBox>(ctl::PcIpList)->currentIndex(), 2);
    QCOMPARE(d.control<QComboBox>(ctl::SortList)->currentText(), QStringLiteral("Name"));
    QCOMPARE(searchCaption(f), QStringLiteral("Suchen"));
    QCOMPARE(d.control<QPushButton>(ctl::Connect)->text(), QStringLiteral("Verbinden"));
    QVERIFY(f.waitForModules(2));
    QCOMPARE(f.moduleNodeTexts(), (QStringList{" Alpha : 127.000.000.020", " beta : 127.000.000.003"}));
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("ZEK online: 2"));
    for (const char* leaf : {"Netzmaske : 255.0.0.0", "Modus : Automatisch", "DHCP : aus"})
        QVERIFY2(f.leafTexts(0).contains(QString::fromLatin1(leaf)), leaf);
    // The German MAC label still leads the selection to the module.
    f.tree()->setCurrentItem(f.moduleNode(0)->child(0));
    QCOMPARE(d.control<QLineEdit>(ctl::kIpEdits[3])->text(), QStringLiteral("20"));
}

void TestSettingsLanguage::deferredCallWritesAppliesAndSearches() {
    GuiFixture f;
    GuiFixture::installLanguageFiles();
    const QByteArray settings = "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=english\n";
    writeFile(kSettings, settings);
    QVERIFY(f.startFleet({GuiFixture::module(3, "beta")}));
    f.startApp();
    // Set-up applied the language but wrote nothing and checked no menu entry yet.
    QCOMPARE(f.dialog().control<QComboBox>(ctl::LanguageList)->currentIndex(), 1);
    QCOMPARE(searchCaption(f), QStringLiteral("Search"));
    QCOMPARE(checkedLanguage(f), -1);
    QCOMPARE(readFile(kSettings), settings);
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());

    writeFile(QStringLiteral("LANG02.ini"), markerLanguage("Look;Look again"));
    QTRY_COMPARE_WITH_TIMEOUT(searchCaption(f), QStringLiteral("Look"), kTimeoutMs);
    QCOMPARE(checkedLanguage(f), 1);
    QCOMPARE(readFile(kSettings), settings.left(settings.indexOf("LANGUAGE")) +
                                      "LANGUAGE=English\nETH_INTERFACE=0\nTREE_SORTING=0\n");
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());
}

void TestSettingsLanguage::everyKeyReachesItsTarget() {
    // Each key's value names the key: "c:KEY;t:KEY".
    QByteArray file;
    std::string_view section;
    for (const LanguageKey& key : languageKeys()) {
        if (key.section != std::exchange(section, key.section))
            file += "[" + QByteArray::fromStdString(std::string(key.section)) + "]\n";
        for (const std::string& name : keyNames(key))
            file += QByteArray::fromStdString(name + "=c:" + name + ";t:" + name + "\n");
    }
    GuiFixture f;
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Only\n");
    writeFile(QStringLiteral("LANG01.ini"), file);
    f.startApp();
    ZEKConfig& d = f.dialog();
    d.DispatchButton(cmd::LanguageFirst);

    for (const LanguageKey& key : languageKeys()) {
        const QString name = QString::fromUtf8(key.key.data(), qsizetype(key.key.size()));
        const QString both = QStringLiteral("c:%1;t:%1").arg(name).left(int(key.limit));
        switch (key.use) {
        case KeyUse::PopupTitle:
            QCOMPARE(f.app().menu(key.control)->title(), both);
            break;
        case KeyUse::MenuItem:
            QCOMPARE(action(f.app().menu(key.popup), key.control)->text(), both);
            break;
        case KeyUse::LanguageItems:
            QCOMPARE(menuStates(f.app().menu(1)).size(), 1);
            QCOMPARE(action(f.app().menu(1), cmd::LanguageFirst)->text(), QStringLiteral("Only"));
            break;
        case KeyUse::Caption:
            QCOMPARE(caption(d.widget(key.control)), both);
            break;
        case KeyUse::Tip:
        case KeyUse::TipAndCaption:
        case KeyUse::TipAndRowCaption:
            for (const int id : key.tips)
                if (id != 0)
                    QCOMPARE(d.widget(id)->toolTip(), QStringLiteral("t:") + name);
            if (key.use != KeyUse::Tip)
                QCOMPARE(caption(d.widget(key.control)), QStringLiteral("c:") + name);
            if (key.use == KeyUse::TipAndRowCaption)
                QCOMPARE(d.widget(key.control)->toolTip(), QStringLiteral("c:") + name);
            break;
        case KeyUse::ListEntries: {
            QStringList expected;
            for (const std::string& entry : keyNames(key))
                expected
                    << QStringLiteral("c:%1;t:%1").arg(QString::fromStdString(entry)).left(int(key.limit));
            for (const int id : key.list->lists)
                if (id != 0)
                    QCOMPARE(items(d.control<QComboBox>(id)), expected);
            break;
        }
        case KeyUse::OnlineText:
            QCOMPARE(f.tree()->topLevelItem(0)->text(0), both + QStringLiteral(" 0"));
            break;
        case KeyUse::ConnectCaption:
        case KeyUse::StoredText:
        case KeyUse::LeafLabel:
            break;
        }
    }
    // Items taken out and appended again keep their order; the Connect button shows the
    // caption of the idle state.
    QStringList help;
    for (const QAction* item : f.app().menu(2)->actions())
        help << item->objectName();
    QCOMPARE(help, (QStringList{"5305", "5304", "5303", "5301"}));
    QCOMPARE(d.control<QPushButton>(ctl::Connect)->text(),
             QStringLiteral("c:BUTTON_CONNECT_CONNECT;t:BUTTON_CONNECT_CONNECT"));
    QCOMPARE(tooltipCount(f), 75);
}

void TestSettingsLanguage::refilledListsKeepTheirPlaces() {
    GuiFixture f;
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=One\nLANG02=Two\n");
    writeFile(QStringLiteral("LANG01.ini"),
              "[GROUPBOX_SOCKET_COMMUNICATION]\nBUTTON_SEARCH=Search;Start a search\n"
              "TXT_TREE_SORT_1=a\nTXT_TREE_SORT_2=b\nTXT_TREE_SORT_3=c\n"
              "[GROUPBOX_TELNET]\nTXT_DST_MONTH_3=March\nTXT_DST_NR_5=last\n");
    writeFile(QStringLiteral("LANG02.ini"), "[GROUPBOX_SOCKET_COMMUNICATION]\nTXT_TREE_SORT_3=C\n"
                                            "[GROUPBOX_TELNET]\nTXT_DST_MONTH_12=Dec\n");
    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.month)->count(), 0);
    d.DispatchButton(cmd::LanguageFirst);
    QCOMPARE(d.widget(ctl::Search)->toolTip(), QStringLiteral("Start a search"));
    // Lists without a selection take their defaults: the last Sunday of March to October.
    const std::pair<int, int> defaults[] = {
        {ctl::SortList, 0},           {ctl::EthModeList, 0},          {ctl::kDstStartRow.week, 4},
        {ctl::kDstStopRow.week, 4},   {ctl::kDstStartRow.weekday, 6}, {ctl::kDstStopRow.weekday, 6},
        {ctl::kDstStartRow.month, 2}, {ctl::kDstStopRow.month, 9}};
    for (const auto& [id, index] : defaults)
        QCOMPARE(d.control<QComboBox>(id)->currentIndex(), index);
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.month)->currentText(), QStringLiteral("March"));
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.week)->currentText(), QStringLiteral("last"));

    // Another language keeps every list's position with the new texts; a key the file
    // lacks gives an empty text, no longer the resource's.
    choose(f, ctl::SortList, 2);
    d.control<QComboBox>(ctl::kDstStopRow.month)->setCurrentIndex(11);
    d.DispatchButton(cmd::LanguageFirst + 1);
    QCOMPARE(d.control<QComboBox>(ctl::SortList)->currentText(), QStringLiteral("C"));
    QCOMPARE(d.control<QComboBox>(ctl::kDstStopRow.month)->currentText(), QStringLiteral("Dec"));
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.month)->currentIndex(), 2);
    QCOMPARE(searchCaption(f), QString());
    QCOMPARE(d.widget(ctl::Search)->toolTip(), QString());
}

void TestSettingsLanguage::tipsAndFlyOver() {
    GuiFixture f;
    GuiFixture::installLanguageFiles();
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=English\n");
    f.startApp();
    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    QCOMPARE(tooltipCount(f), 75);
    QWidget* search = f.dialog().widget(ctl::Search);
    QCOMPARE(search->toolTip(), QStringLiteral("Search the network for modules"));
    QMenu* help = f.app().menu(2);
    QAction* flyOver = action(help, cmd::FlyOver);
    QCOMPARE(flyOver->text(), QStringLiteral("&Fly over"));
    // On at start, off after the first click, on again after the second.
    bool first = true;
    for (const bool on : {true, false, true}) {
        if (!std::exchange(first, false))
            flyOver->trigger();
        emit help->aboutToShow();
        QCOMPARE(flyOver->isChecked(), on);
        QCOMPARE(tipShows(search), on);
    }
    QToolTip::hideText();
    // The deferred call, and applying languages twice more, leave the same controls with tips.
    QTRY_COMPARE_WITH_TIMEOUT(checkedLanguage(f), 1, kTimeoutMs);
    f.dialog().DispatchButton(cmd::LanguageFirst);
    f.dialog().DispatchButton(cmd::LanguageFirst);
    QCOMPARE(tooltipCount(f), 75);
    QCOMPARE(search->toolTip(), QStringLiteral("Module im Netzwerk suchen"));
}

void TestSettingsLanguage::languageMenu() {
    QByteArray settings = "[BASIC_SETTINGS]\nETH_INTERFACE=2\n";
    for (int n = 1; n <= 40; ++n)
        settings +=
            QByteArray::fromStdString(languageNameKey(n)) + "=Language " + QByteArray::number(n) + "\n";
    GuiFixture f;
    writeFile(kSettings, settings);
    writeFile(QStringLiteral("LANG33.ini"), markerLanguage("33"));
    QVERIFY(f.startFleet({GuiFixture::module(5, "boiler")}));
    f.startApp();
    QMenu* languages = f.app().menu(1);
    // No language can be chosen while a session is not idle.
    QVERIFY(f.waitForModules(1));
    f.tree()->setCurrentItem(f.moduleNode(0));
    f.click(ctl::Connect);
    QCOMPARE(menuStates(languages).count(QStringLiteral("-")), 40);
    QVERIFY(f.waitForState(SessionState::Connected));
    QCOMPARE(menuStates(languages).count(QStringLiteral("-")), 40);
    f.click(ctl::Connect);
    QCOMPARE(menuStates(languages), QStringList(40, QStringLiteral("e")));
    // The 33rd entry works like the others: it is selected, saved, applied and checked.
    action(languages, cmd::LanguageFirst + 32)->trigger();
    QCOMPARE(searchCaption(f), QStringLiteral("33"));
    QCOMPARE(saved(), QStringLiteral("2 Language 33 0"));
    QCOMPARE(checkedLanguage(f), 32);
    // A listed language without a file leaves the texts as they are and says so; commands
    // past the list do nothing.
    f.dialog().DispatchButton(cmd::LanguageFirst + 39);
    QCOMPARE(checkedLanguage(f), 39);
    QCOMPARE(searchCaption(f), QStringLiteral("33"));
    QVERIFY(f.logLines().contains(
        QStringLiteral("Language file LANG40.ini not found; the texts stay as they are")));
    f.dialog().DispatchButton(cmd::LanguageFirst + 45);
    QCOMPARE(checkedLanguage(f), 39);
}

void TestSettingsLanguage::languageFilesFromTheDataDirectory() {
    GuiFixture f;
    writeFile(kSettings, "[BASIC_SETTINGS]\nLANG01=Shared\n");
    const QString shared =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zekconfig"));
    QVERIFY(QDir().mkpath(shared));
    const auto cleanup = qScopeGuard([&] {
        QFile::remove(shared + QStringLiteral("/LANG01.ini"));
        QDir().rmdir(shared);
        QDir().rmdir(QFileInfo(shared).path());
    });
    writeFile(shared + QStringLiteral("/LANG01.ini"), markerLanguage("shared"));
    f.startApp();
    f.dialog().DispatchButton(cmd::LanguageFirst);
    QCOMPARE(searchCaption(f), QStringLiteral("shared"));
    // The start directory's copy comes first.
    writeFile(QStringLiteral("LANG01.ini"), markerLanguage("start"));
    f.dialog().DispatchButton(cmd::LanguageFirst);
    QCOMPARE(searchCaption(f), QStringLiteral("start"));
}

void TestSettingsLanguage::startupReadsTheFiles_data() {
    QTest::addColumn<QByteArray>("settings"); // "<dir>" puts a directory in the file's place
    QTest::addColumn<QByteArray>("lang01");   // empty for no file
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QString>("saved"); // after the user picks 127.0.0.1; empty: cannot be written
    const QByteArray listX = "[BASIC_SETTINGS]\nLANG01=X\nLANGUAGE=x\n";
    const char garbage[] = "\xFF\xFE\0\0[GROUPBOX_SOCKET_COMMUNICATION]\n\0BUTTON_SEARCH=a\n\x80\x81\x82";
    QTest::newRow("applied") << listX << markerLanguage("Go;Go search") << 0 << "Go"
                             << ""
                             << "2 X 0";
    QTest::newRow("no match") << QByteArray("[BASIC_SETTINGS]\nLANG01=X\nLANGUAGE=Y\nTREE_SORTING=7\n")
                              << markerLanguage("Go") << -1 << "Search"
                              << "Settings: LANGUAGE=Y is none of the listed languages"
                              << "2  2";
    QTest::newRow("unreadable") << QByteArray("<dir>") << markerLanguage("Go") << -1 << "Search"
                                << "Settings file %PATH% cannot be read; defaults apply"
                                << "";
    QTest::newRow("interface beyond the list")
        << QByteArray("[BASIC_SETTINGS]\nETH_INTERFACE=99\n") << QByteArray() << -1 << "Search"
        << "Settings: ETH_INTERFACE=99 names none of the 3 PC interfaces; the first one is used"
        << "2  0";
    QTest::newRow("garbage language file") << listX << QByteArray(garbage, sizeof garbage - 1) << 0 << ""
                                           << ""
                                           << "2 X 0";
    QTest::newRow("language file missing") << listX << QByteArray() << 0 << "Search"
                                           << "Language file LANG01.ini not found; the texts stay as they are"
                                           << "2 X 0";
}

void TestSettingsLanguage::startupReadsTheFiles() {
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, lang01);
    QFETCH(int, selected);
    QFETCH(QString, search);
    QFETCH(QString, logged);
    QFETCH(QString, saved);
    GuiFixture f;
    if (settings == "<dir>")
        QVERIFY(QDir::current().mkdir(kSettings));
    else
        writeFile(kSettings, settings);
    if (!lang01.isEmpty())
        writeFile(QStringLiteral("LANG01.ini"), lang01);
    f.startApp();
    QCOMPARE(f.dialog().control<QComboBox>(ctl::LanguageList)->currentIndex(), selected);
    QCOMPARE(f.dialog().control<QComboBox>(ctl::PcIpList)->currentIndex(), 0);
    QCOMPARE(searchCaption(f), search);
    const QString path = QDir::current().filePath(kSettings);
    if (!logged.isEmpty())
        QVERIFY2(f.logLines().contains(QString(logged).replace(QStringLiteral("%PATH%"), path)),
                 qPrintable(f.logLines().join(QLatin1Char('\n'))));
    if (selected >= 0)
        QTRY_COMPARE_WITH_TIMEOUT(checkedLanguage(f), selected, kTimeoutMs);

    // The user's next choice stores sound values, or says why it cannot.
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")));
    if (saved.isEmpty())
        QVERIFY(f.logLines().contains(QStringLiteral("Settings file %1 cannot be written").arg(path)));
    else
        QCOMPARE(::saved(), saved);
}

QTEST_MAIN(TestSettingsLanguage)
#include "test_settings_language.moc"
