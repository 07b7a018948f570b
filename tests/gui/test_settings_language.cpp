// The settings file and the language files in the real window: choices that survive a
// restart, the deferred language call, how the saved language is found, what every key
// of a language file reaches, tooltips and Fly over, the Language menu, and bad files.
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

// The shipped German and English files with a settings file that lists them; returns
// what the settings file holds.
QByteArray installShipped(const QByteArray& more = {}) {
    GuiFixture::installLanguageFiles();
    const QByteArray settings = "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\n" + more;
    writeFile(kSettings, settings);
    return settings;
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

QString searchCaption(const GuiFixture& f) {
    return f.dialog().control<QPushButton>(ctl::Search)->text();
}

// The Language menu as the user opens it: per entry 'e' or '-' for enabled, 'c' when checked.
QStringList menuStates(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList states;
    for (const QAction* a : menu->actions())
        states << QLatin1String(a->isEnabled() ? "e" : "-") + QLatin1String(a->isChecked() ? "c" : "");
    return states;
}

// The checked Language menu entry, as the user sees it when the menu opens; -1 for none.
int checkedLanguage(GuiFixture& f) {
    return int(menuStates(f.app().menu(1)).indexOf(QRegularExpression(QStringLiteral(".c"))));
}

// How many of the window's controls carry a tooltip.
int tooltipCount(GuiFixture& f) {
    int count = 0;
    for (const QWidget* w : f.dialog().findChildren<QWidget*>())
        count += w->toolTip().isEmpty() ? 0 : 1;
    return count;
}

void selectSortOrder(GuiFixture& f, int order) {
    auto* sort = f.dialog().control<QComboBox>(ctl::SortList);
    sort->setCurrentIndex(order);
    emit sort->activated(order);
}

} // namespace

class TestSettingsLanguage : public QObject {
    Q_OBJECT
private slots:
    void choicesSurviveARestart();
    void deferredCallWritesAppliesAndSearches();
    void everyKeyReachesItsTarget();
    void captionTooltipAndRefilledLists();
    void tipsRegisteredOnceAndFlyOver();
    void languageMenuBeyondThirtyEntries();
    void languageFilesFromTheDataDirectory();
    void languageMenuGreyWhileSessionNotIdle();
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
    const int interface = f.dialog().control<QComboBox>(ctl::PcIpList)->currentIndex();
    f.dialog().DispatchButton(cmd::LanguageFirst);
    QCOMPARE(searchCaption(f), QStringLiteral("Suchen"));
    selectSortOrder(f, 2);
    QVERIFY(f.waitForModules(2));
    const Saved saved = savedSettings();
    QCOMPARE(saved.interface, interface);
    QCOMPARE(saved.language, QStringLiteral("Deutsch"));
    QCOMPARE(saved.sort, 2);
    QVERIFY(
        readFile(kSettings).startsWith("; kept\r\n[BASIC_SETTINGS]\r\nLANG01=Deutsch\r\nLANG02=English\r\n"));

    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(d.control<QComboBox>(ctl::PcIpList)->currentIndex(), interface);
    QCOMPARE(d.control<QComboBox>(ctl::LanguageList)->currentText(), QStringLiteral("Deutsch"));
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
    const QByteArray settings = installShipped("LANGUAGE=english\n");
    QVERIFY(f.startFleet({GuiFixture::module(3, "beta")}));
    f.startApp();
    ZEKConfig& d = f.dialog();
    // Set-up applied the language but wrote nothing and left the current language open.
    QCOMPARE(d.control<QComboBox>(ctl::LanguageList)->currentIndex(), 1);
    QCOMPARE(searchCaption(f), QStringLiteral("Search"));
    QCOMPARE(checkedLanguage(f), -1);
    QCOMPARE(readFile(kSettings), settings);
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());

    writeFile(QStringLiteral("LANG02.ini"), markerLanguage("Look;Look again"));
    QTRY_COMPARE_WITH_TIMEOUT(searchCaption(f), QStringLiteral("Look"), kTimeoutMs);
    QCOMPARE(checkedLanguage(f), 1);
    QCOMPARE(readFile(kSettings),
             QByteArray("[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\nLANGUAGE=English\n"
                        "ETH_INTERFACE=0\nTREE_SORTING=0\n"));
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty());
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
    d.DispatchButton(cmd::LanguageFirst);

    for (const LanguageKey& key : languageKeys()) {
        const QString name = QString::fromUtf8(key.key.data(), qsizetype(key.key.size()));
        const QString both = QStringLiteral("c:%1;t:%1").arg(name);
        const QString cap = QStringLiteral("c:") + name;
        const QString tip = QStringLiteral("t:") + name;
        const auto limited = [&](const QString& text) { return text.left(int(key.limit)); };
        switch (key.use) {
        case KeyUse::PopupTitle:
            QCOMPARE(f.app().menu(key.control)->title(), both);
            break;
        case KeyUse::MenuItem:
            QCOMPARE(action(f.app().menu(key.popup), key.control)->text(), both);
            break;
        case KeyUse::LanguageItems:
            QCOMPARE(actionTexts(f.app().menu(1)), QStringList{"Only"});
            break;
        case KeyUse::Caption:
            QCOMPARE(caption(d.widget(key.control)), both);
            break;
        case KeyUse::Tip:
        case KeyUse::TipAndCaption:
        case KeyUse::TipAndRowCaption:
            for (const int id : key.tips)
                if (id != 0)
                    QCOMPARE(d.widget(id)->toolTip(), tip);
            if (key.use != KeyUse::Tip)
                QCOMPARE(caption(d.widget(key.control)), cap);
            if (key.use == KeyUse::TipAndRowCaption)
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
            QCOMPARE(f.tree()->topLevelItem(0)->text(0), limited(both) + QStringLiteral(" 0"));
            break;
        case KeyUse::StoredText:
        case KeyUse::ConnectCaption:
        case KeyUse::LeafLabel:
            break;
        }
    }
    // Items taken out and appended again keep their order; the Connect button shows the
    // caption of the idle state; a text is cut at its limit.
    QStringList help;
    for (const QAction* item : f.app().menu(2)->actions())
        help << item->objectName();
    QCOMPARE(help, (QStringList{"5305", "5304", "5303", "5301"}));
    QCOMPARE(d.control<QPushButton>(ctl::Connect)->text(),
             QStringLiteral("c:BUTTON_CONNECT_CONNECT;t:BUTTON_CONNECT_CONNECT"));
    QCOMPARE(tooltipCount(f), 75);
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
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.month)->count(), 0);
    d.DispatchButton(cmd::LanguageFirst);
    QCOMPARE(searchCaption(f), QStringLiteral("Search"));
    QCOMPARE(d.widget(ctl::Search)->toolTip(), QStringLiteral("Start a new search"));
    QCOMPARE(caption(d.widget(ctl::IpLabel)), QStringLiteral("Address"));
    for (const int id : {ctl::kIpEdits[0], ctl::kIpEdits[1], ctl::kIpEdits[2], ctl::kIpEdits[3]})
        QCOMPARE(d.widget(id)->toolTip(), QStringLiteral("Address"));
    QCOMPARE(caption(d.widget(ctl::kTrapRows[0].checkBox)), QStringLiteral("Trap 1"));
    QCOMPARE(d.widget(ctl::kTrapRows[0].checkBox)->toolTip(), QStringLiteral("Trap 1"));
    QCOMPARE(d.widget(ctl::kTrapRows[0].edits[3])->toolTip(), QStringLiteral("first receiver"));
    // Lists without a selection take their defaults: the last Sunday of March to October.
    const std::pair<int, int> defaults[] = {
        {ctl::SortList, 0},           {ctl::EthModeList, 0},          {ctl::kDstStartRow.week, 4},
        {ctl::kDstStopRow.week, 4},   {ctl::kDstStartRow.weekday, 6}, {ctl::kDstStopRow.weekday, 6},
        {ctl::kDstStartRow.month, 2}, {ctl::kDstStopRow.month, 9}};
    for (const auto& [id, index] : defaults)
        QCOMPARE(d.control<QComboBox>(id)->currentIndex(), index);
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.month)->currentText(), QStringLiteral("March"));
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.week)->currentText(), QStringLiteral("last"));

    // Another language keeps every list's position with the new texts.
    selectSortOrder(f, 2);
    d.control<QComboBox>(ctl::kDstStopRow.month)->setCurrentIndex(11);
    d.control<QComboBox>(ctl::EthModeList)->setCurrentIndex(3);
    d.DispatchButton(cmd::LanguageFirst + 1);
    QCOMPARE(d.control<QComboBox>(ctl::SortList)->currentIndex(), 2);
    QCOMPARE(d.control<QComboBox>(ctl::SortList)->currentText(), QStringLiteral("C"));
    QCOMPARE(d.control<QComboBox>(ctl::kDstStopRow.month)->currentText(), QStringLiteral("Dec"));
    QCOMPARE(d.control<QComboBox>(ctl::EthModeList)->currentIndex(), 3);
    QCOMPARE(d.control<QComboBox>(ctl::kDstStartRow.month)->currentIndex(), 2);
    // A key the file lacks gives an empty text, no longer the resource's.
    QCOMPARE(searchCaption(f), QString());
    QCOMPARE(d.widget(ctl::Search)->toolTip(), QString());
}

void TestSettingsLanguage::tipsRegisteredOnceAndFlyOver() {
    GuiFixture f;
    installShipped("LANGUAGE=English\n");
    f.startApp();
    QVERIFY(QTest::qWaitForWindowExposed(f.app().frame()));
    QCOMPARE(tooltipCount(f), 75);
    QWidget* search = f.dialog().widget(ctl::Search);
    QCOMPARE(search->toolTip(), QStringLiteral("Search the network for modules"));
    QMenu* help = f.app().menu(2);
    QAction* flyOver = action(help, cmd::FlyOver);
    QVERIFY(flyOver);
    QCOMPARE(flyOver->text(), QStringLiteral("&Fly over"));
    // On at start, off after the first click, on again after the second.
    bool first = true;
    for (const bool on : {true, false, true}) {
        if (!std::exchange(first, false))
            flyOver->trigger();
        if (!on)
            QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), kTimeoutMs);
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

void TestSettingsLanguage::languageMenuBeyondThirtyEntries() {
    QByteArray settings = "[BASIC_SETTINGS]\n";
    for (int n = 1; n <= 40; ++n)
        settings +=
            QByteArray::fromStdString(languageNameKey(n)) + "=Language " + QByteArray::number(n) + "\n";
    GuiFixture f;
    writeFile(kSettings, settings);
    writeFile(QStringLiteral("LANG33.ini"), markerLanguage("33"));
    f.startApp();
    QCOMPARE(f.app().menu(1)->actions().size(), 40);
    // The 33rd entry works like the others: it is selected, saved, applied and checked.
    QAction* entry = action(f.app().menu(1), cmd::LanguageFirst + 32);
    QVERIFY(entry);
    QCOMPARE(menuStates(f.app().menu(1)), QStringList(40, QStringLiteral("e")));
    entry->trigger();
    QCOMPARE(searchCaption(f), QStringLiteral("33"));
    QCOMPARE(savedSettings().language, QStringLiteral("Language 33"));
    QCOMPARE(menuStates(f.app().menu(1)).indexOf(QStringLiteral("ec")), 32);

    // A listed language without a file leaves the texts as they are and says so.
    f.dialog().DispatchButton(cmd::LanguageFirst + 39);
    QCOMPARE(checkedLanguage(f), 39);
    QCOMPARE(searchCaption(f), QStringLiteral("33"));
    QVERIFY(f.logLines().contains(
        QStringLiteral("Language file LANG40.ini not found; the texts stay as they are")));
    // Commands past the list do nothing.
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

void TestSettingsLanguage::languageMenuGreyWhileSessionNotIdle() {
    GuiFixture f;
    installShipped("LANGUAGE=English\nETH_INTERFACE=2\n");
    QVERIFY(f.startFleet({GuiFixture::module(5, "boiler")}));
    f.startApp();
    QCOMPARE(f.dialog().control<QComboBox>(ctl::PcIpList)->currentText(), QStringLiteral("3: 127.0.0.1"));
    QTRY_COMPARE_WITH_TIMEOUT(checkedLanguage(f), 1, kTimeoutMs);
    QVERIFY(f.waitForModules(1));
    f.tree()->setCurrentItem(f.moduleNode(0));
    QMenu* languages = f.app().menu(1);
    const QStringList idle{"e", "ec"};
    const QStringList busy{"-", "-c"};
    QCOMPARE(menuStates(languages), idle);
    f.click(ctl::Connect);
    QCOMPARE(f.dialog().control<QPushButton>(ctl::Connect)->text(), QStringLiteral("Cancel"));
    QCOMPARE(menuStates(languages), busy);
    QVERIFY(
        QTest::qWaitFor([&] { return f.dialog().sessionState() == SessionState::Connected; }, kTimeoutMs));
    QCOMPARE(f.dialog().control<QPushButton>(ctl::Connect)->text(), QStringLiteral("Disconnect"));
    QCOMPARE(menuStates(languages), busy);
    f.click(ctl::Connect);
    QCOMPARE(menuStates(languages), idle);
    QCOMPARE(f.dialog().control<QPushButton>(ctl::Connect)->text(), QStringLiteral("Connect"));
}

void TestSettingsLanguage::startupReadsTheFiles_data() {
    QTest::addColumn<QByteArray>("settings"); // "<dir>" puts a directory in the file's place
    QTest::addColumn<QByteArray>("lang01");   // empty for no file
    QTest::addColumn<QByteArray>("lang02");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("sort");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("logged");
    const auto row = [](const char* tag, const QByteArray& settings, const QByteArray& lang01,
                        const QByteArray& lang02, const QStringList& listed, int selected, int sort,
                        const QString& search, const char* logged = "") {
        QTest::newRow(tag) << settings << lang01 << lang02 << listed << selected << sort << search
                           << QString::fromLatin1(logged);
    };
    const QByteArray both = "[BASIC_SETTINGS]\nLANG01=Deutsch\nLANG02=English\n";
    const QStringList bothListed{"Deutsch", "English"};
    const QByteArray one = markerLanguage("one");
    const QByteArray two = markerLanguage("two");
    const QByteArray good = "[GROUPBOX_SOCKET_COMMUNICATION]\nBUTTON_SEARCH=Go;Go search\n";
    const QByteArray listX = "[BASIC_SETTINGS]\nLANG01=X\nLANGUAGE=X\n";
    const QByteArray none;
    const QString search = QStringLiteral("Search");

    // Which language the saved name selects and the other fallbacks are decided in core;
    // these rows check that the window shows and logs what was decided.
    row("letter case ignored", both + "LANGUAGE=english\n", one, two, bothListed, 1, 0, "two");
    row("no match", both + "LANGUAGE=Klingon\n", one, two, bothListed, -1, 0, search,
        "Settings: LANGUAGE=Klingon is none of the listed languages");
    row("missing", none, none, none, {}, -1, 0, search);
    row("unreadable", "<dir>", good, none, {}, -1, 0, search,
        "Settings file %PATH% cannot be read; defaults apply");
    row("interface beyond the list", "[BASIC_SETTINGS]\nETH_INTERFACE=99\nTREE_SORTING=7\n", none, none, {},
        -1, 2, search, "Settings: ETH_INTERFACE=99 names none of the 3 PC interfaces; the first one is used");
    const char garbage[] = "\xFF\xFE\0\0[GROUPBOX_SOCKET_COMMUNICATION]\n\0BUTTON_SEARCH=a\n\x80\x81\x82";
    row("garbage language file", listX, QByteArray(garbage, sizeof garbage - 1), none, {"X"}, 0, 0, "");
    row("language file missing", listX, none, none, {"X"}, 0, 0, search,
        "Language file LANG01.ini not found; the texts stay as they are");
}

void TestSettingsLanguage::startupReadsTheFiles() {
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, lang01);
    QFETCH(QByteArray, lang02);
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
    for (const auto& [name, text] : {std::pair{"LANG01.ini", lang01}, std::pair{"LANG02.ini", lang02}})
        if (!text.isEmpty())
            writeFile(QString::fromLatin1(name), text);
    f.startApp();
    ZEKConfig& d = f.dialog();
    QCOMPARE(items(d.control<QComboBox>(ctl::LanguageList)), listed);
    QCOMPARE(d.control<QComboBox>(ctl::LanguageList)->currentIndex(), selected);
    QCOMPARE(d.control<QComboBox>(ctl::PcIpList)->currentIndex(), 0);
    QCOMPARE(searchCaption(f), search);
    if (!logged.isEmpty())
        QVERIFY2(f.logLines().contains(
                     QString(logged).replace(QStringLiteral("%PATH%"), QDir::current().filePath(kSettings))),
                 qPrintable(f.logLines().join(QLatin1Char('\n'))));
    if (settings.isEmpty())
        QVERIFY(!QFile::exists(kSettings));
    // The menu offers the languages whether or not one was applied; the first replaces
    // the placeholder.
    if (!listed.isEmpty()) {
        QCOMPARE(actionTexts(f.app().menu(1)), listed);
        QCOMPARE(action(f.app().menu(1), cmd::LanguageFirst)->text(), listed.first());
    }
    if (selected >= 0)
        QTRY_COMPARE_WITH_TIMEOUT(checkedLanguage(f), selected, kTimeoutMs);

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
