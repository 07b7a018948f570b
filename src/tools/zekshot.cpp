// zekshot: starts the configurator's window as a technician would see it, waits until
// the search has listed the expected number of modules, selects one and writes a
// picture of the window, of its extended view during a session, or of the About box.
// Used by the demo, for the pictures in docs/ and the manual, and by the install check,
// which runs it beside an installed zekconfig to read what the window shows.
#include "core/app/control_ids.h"
#include "gui/app/zek_config.h"
#include "gui/app/zek_config_app.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    app.setApplicationName(QString::fromLatin1(zek::TZEKConfigApp::kAppName));
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the configurator, waits for modules and saves a picture of it.");
    parser.addHelpOption();
    parser.addOption({"modules", "Number of modules to wait for (default 1).", "n", "1"});
    parser.addOption({"interface", "PC address to search from (default: the first).", "address"});
    parser.addOption({"timeout", "Milliseconds to wait (default 10000).", "ms", "10000"});
    parser.addOption({"output", "PNG file to write.", "file", "zekconfig.png"});
    parser.addOption({"language", "Choose the n-th language of the Language menu first.", "n"});
    parser.addOption({"texts", "Print what the window shows: captions, list sizes, languages."});
    parser.addOption({"extended", "Connect to the module, read its settings and show the extended view."});
    parser.addOption({"about", "Write a picture of the About box instead of the window."});
    parser.addOption(
        {"logger-group", "Connect, read the module and write a picture of the data-logger group."});
    parser.process(app);

    zek::TZEKConfigApp zekApp;
    zekApp.BuildMainWindow();
    zekApp.frame()->show();
    zek::ZEKConfig* dialog = zekApp.dialog();
    if (parser.isSet("interface")) {
        auto* interfaces = dialog->control<QComboBox>(zek::ctl::PcIpList);
        const int index =
            interfaces->findText(QStringLiteral(": ") + parser.value("interface"), Qt::MatchEndsWith);
        if (index < 0) {
            std::fprintf(stderr, "zekshot: no PC interface %s\n", qPrintable(parser.value("interface")));
            return 2;
        }
        interfaces->setCurrentIndex(index);
        emit interfaces->activated(index);
    }

    auto* tree = dialog->control<QTreeWidget>(zek::ctl::Tree);
    const int wanted = parser.value("modules").toInt();
    int found = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Two searches run at start-up; wait for the second one's answers to settle.
        found = tree->topLevelItem(0)->childCount();
        if ((found >= wanted && clock.elapsed() > 1500) || clock.elapsed() > parser.value("timeout").toInt())
            app.quit();
    });
    poll.start(100);
    app.exec();

    QTreeWidgetItem* top = tree->topLevelItem(0);
    if (top->childCount() > 0) {
        top->child(0)->setExpanded(true);
        tree->setCurrentItem(top->child(0));
    }
    if (parser.isSet("language"))
        dialog->DispatchButton(zek::cmd::LanguageFirst + parser.value("language").toInt() - 1);
    if (parser.isSet("texts")) {
        const auto list = [&](int id) { return dialog->control<QComboBox>(id); };
        QStringList languages;
        for (int i = 0; i < list(zek::ctl::LanguageList)->count(); ++i)
            languages << list(zek::ctl::LanguageList)->itemText(i);
        std::printf("search: %s\ntree: %s\nsort: %d %s\nmodes: %d\nlanguages: %s\n",
                    qPrintable(dialog->widget(zek::ctl::Search)->property("text").toString()),
                    qPrintable(top->text(0)), list(zek::ctl::SortList)->count(),
                    qPrintable(list(zek::ctl::SortList)->currentText()), list(zek::ctl::EthModeList)->count(),
                    qPrintable(languages.join(QLatin1Char(','))));
    }
    QPixmap picture = zekApp.frame()->grab();
    if (parser.isSet("extended") && top->childCount() > 0) {
        // The picture is taken on a tick that showed traffic, after the letters arrived.
        dialog->control<QCheckBox>(zek::ctl::AutoRead)->setChecked(true);
        dialog->ToggleView();
        dialog->DispatchButton(zek::ctl::Connect);
        const auto text = [&](int id) { return dialog->widget(id)->property("text").toString().trimmed(); };
        clock.restart();
        QObject::disconnect(&poll, nullptr, nullptr, nullptr);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool moving = text(zek::ctl::ReceiveRate) != QLatin1String("0");
            if ((moving && text(zek::ctl::SoftwareText) != QLatin1String("?")) ||
                clock.elapsed() > parser.value("timeout").toInt())
                app.quit();
        });
        poll.start(20);
        app.exec();
        picture = zekApp.frame()->grab();
    }
    if (parser.isSet("logger-group") && top->childCount() > 0) {
        // Once the automatic read has shown the module clock, with the logger ticked and a
        // tick of the PC clock texts.
        dialog->control<QCheckBox>(zek::ctl::AutoRead)->setChecked(true);
        dialog->DispatchButton(zek::ctl::Connect);
        const auto text = [&](int id) { return dialog->widget(id)->property("text").toString(); };
        clock.restart();
        QObject::disconnect(&poll, nullptr, nullptr, nullptr);
        qint64 readAt = -1;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (readAt < 0 && text(zek::ctl::DeviceZone) != QLatin1String("?")) {
                readAt = clock.elapsed();
                dialog->control<QCheckBox>(zek::ctl::LoggerActive)->click();
            }
            if ((readAt >= 0 && clock.elapsed() > readAt + 1200) ||
                clock.elapsed() > parser.value("timeout").toInt())
                app.quit();
        });
        poll.start(20);
        app.exec();
        picture = dialog->grab(dialog->widget(zek::ctl::LoggerGroup)->geometry());
    }
    if (parser.isSet("about")) {
        QTimer::singleShot(0, [&] {
            if (QWidget* about = QApplication::activeModalWidget()) {
                picture = about->grab();
                about->close();
            }
        });
        dialog->DispatchButton(zek::cmd::About);
    }
    const QString output = parser.value("output");
    if (!picture.save(output)) {
        std::fprintf(stderr, "zekshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("zekshot: %d module(s) listed, picture in %s\n", found, qPrintable(output));
    return found >= wanted ? 0 : 1;
}
