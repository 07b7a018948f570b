#include "gui_helpers.h"

#include "core/scan/device_protocol.h"
#include "gui/app/about_dialog.h"

#include <QtTest>
#include <QtWidgets>

using namespace zek;
using namespace zek::test;

// A fake desktop opener first on PATH writes its argument count and arguments to $ZEK_OPENED.
class TestHelpAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void manualReachesTheViewerAsOneArgument_data();
    void manualReachesTheViewerAsOneArgument();
    void aboutBoxOpensAndOkCloses();
    void websitesEnterAndTraffic();

private:
    // The viewer is a script in PATH where the desktop's opener is xdg-open, not on Windows.
    static bool viewerIsFaked() { return QSysInfo::productType() != QLatin1String("windows"); }
    // The opener's arguments after `command`; empty when it did not run within the bound.
    QStringList opened(const std::function<void()>& command);
    QTemporaryDir m_bin;
};

void TestHelpAbout::initTestCase() {
    QFile opener(m_bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(
        opener.open(QIODevice::WriteOnly) &&
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >\"$ZEK_OPENED.new\" && mv \"$ZEK_OPENED.new\" "
                     "\"$ZEK_OPENED\"\n") > 0);
    opener.close();
    opener.setPermissions(QFile::ExeOwner | QFile::ReadOwner);
    qputenv("PATH", (m_bin.path() + QLatin1Char(':')).toLocal8Bit() + qgetenv("PATH"));
    qputenv("ZEK_OPENED", m_bin.filePath(QStringLiteral("opened")).toLocal8Bit());
}

QStringList TestHelpAbout::opened(const std::function<void()>& command) {
    QFile record(m_bin.filePath(QStringLiteral("opened")));
    record.remove();
    command();
    if (!QTest::qWaitFor([&] { return record.exists(); }, 5000) || !record.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(record.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestHelpAbout::manualReachesTheViewerAsOneArgument_data() {
    QTest::addColumn<QString>("directory");
    QTest::newRow("blanks, quotes") << "start dir  \"quoted\" 'dir'";
    QTest::newRow("shell") << "x; touch pwned; $(touch pwned2) `touch pwned3` & |";
}

void TestHelpAbout::manualReachesTheViewerAsOneArgument() {
    if (!viewerIsFaked())
        QSKIP("Windows names no such directory, and opens documents through the registry, which "
              "windows_tests checks");
    QFETCH(QString, directory);
    GuiFixture f;
    QVERIFY(QDir().mkdir(directory) && QDir::setCurrent(directory));
    const QString manual = QDir::current().filePath(QStringLiteral("holvek_zek_config.pdf"));
    QFile(manual).open(QIODevice::WriteOnly);
    f.startApp();
    const QStringList args = opened([&] { f.dialog().DispatchButton(cmd::Manual); });
    QCOMPARE(args.size(), 2);
    QCOMPARE(args[0] + QUrl(args[1]).toLocalFile(), QStringLiteral("1") + manual);
    QCOMPARE(QDir().entryList({"pwned*"}), QStringList());
}

void TestHelpAbout::aboutBoxOpensAndOkCloses() {
    GuiFixture f;
    f.startApp();
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* about = dynamic_cast<TZEKAboutDlg*>(QApplication::activeModalWidget());
        if (!about)
            return;
        seen << about->windowTitle() << about->form().widget(dlg::AboutVersion)->property("text").toString()
             << QString::number(about->form().control<QLabel>(dlg::AboutPicture)->pixmap().width());
        about->form().control<QPushButton>(dlg::AboutOk)->click();
        seen << (about->isVisible() ? "open" : "closed");
        about->reject();
    });
    f.dialog().DispatchButton(cmd::About);
    QCOMPARE(seen, (QStringList{"MERIDON Brisklink", "V1.00.11", "505", "closed"}));
}

// Both sources of the feature letters: the software datagram after the search reply and
// the session's "modul_config"; the traffic figures against the bytes the module counted.
void TestHelpAbout::websitesEnterAndTraffic() {
    GuiFixture f(50);
    SimModuleConfig module = GuiFixture::quietModule();
    module.software = "V2.0 LTV";
    module.state.letters = "LTV";
    QVERIFY(f.startFleet({module}, FleetOptions{.softwareInfoAfterReply = true}));
    f.startApp();
    QVERIFY(f.selectInterface(QStringLiteral("127.0.0.1")) && f.waitForModules(1));
    f.tree()->setCurrentItem(f.moduleNode(0));
    const auto letters = [&] {
        QString checked;
        for (const auto& feature : ctl::kFeatureLetters)
            checked += f.dialog().control<QCheckBox>(feature.checkBox)->isChecked() ? feature.letter : '-';
        return checked;
    };
    QVERIFY(QTest::qWaitFor([&] { return f.text(ctl::SoftwareText) == "V2.0 LTV"; }, 5000));
    QCOMPARE(letters(), QStringLiteral("LT----"));

    if (viewerIsFaked()) {
        QCOMPARE(opened([&] { f.click(ctl::TechnicalWebsite); }), (QStringList{"1", "http://127.0.0.5:80"}));
        QCOMPARE(opened([&] { f.click(ctl::UserWebsite); }), (QStringList{"1", "http://127.0.0.5:10005"}));
        QCOMPARE(opened([&] { f.click(ctl::MakerWebsite); }),
                 (QStringList{"1", "https://www.holvek.example/"}));
    }

    f.takeRequests();
    QTest::keyClick(f.dialog().widget(ctl::NameEdit), Qt::Key_Return);
    QVERIFY(!f.waitForRequest(CMD_SEARCH).bytes.isEmpty() && f.waitForModules(1));
    f.tree()->setCurrentItem(f.moduleNode(0));
    qint64 toPc = 0, fromPc = 0;
    connect(&f.fleet(), &SimFleet::tcpBytesSent, [&](int, const QByteArray& bytes) { toPc += bytes.size(); });
    connect(&f.fleet(), &SimFleet::tcpBytesReceived,
            [&](int, const QByteArray& raw) { fromPc += raw.size(); });
    QVERIFY(f.connectSession());
    QCOMPARE(f.text(ctl::Connect), QStringLiteral("Disconnect"));
    QCOMPARE(f.text(ctl::SoftwareText), QStringLiteral("LTV"));
    QCOMPARE(letters(), QStringLiteral("LT----"));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return f.text(ctl::ReceiveTotal) == QString::number(toPc) &&
                   f.text(ctl::SendTotal) == QString::number(fromPc) && f.text(ctl::ReceiveRate) == "      0";
        },
        5000));
    f.click(ctl::ClearLog);
    QCOMPARE(f.logLines(), QStringList());
}

QTEST_MAIN(TestHelpAbout)
#include "test_help_about.moc"
