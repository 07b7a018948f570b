#include "gui/app/user_directory.h"
#include "gui/app/zek_config_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMainWindow>
#include <QMessageBox>

#include <cstdio>
#include <cstring>

namespace {

// Processes the command line; a bad option, --help and --version end the program here.
bool userDirectoryWanted(const QCoreApplication& app) {
    const QCommandLineOption userDirectory(
        QStringLiteral("user-directory"),
        QStringLiteral("Start in the user's own directory %1, as the menu entry does.")
            .arg(QDir::toNativeSeparators(zek::UserDirectory())));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Finds ZEK modules on the LAN and sets their network values, clock, data logger and SNMP.\n"
        "Settings and language files are read from the directory the program starts in."));
    options.addHelpOption();
    options.addVersionOption();
    options.addOption(userDirectory);
    options.process(app);
    return options.isSet(userDirectory);
}

// --help and --version answer without a display, as command-line users expect.
bool onlyText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

void describe(QCoreApplication& app) {
    app.setApplicationName(QString::fromLatin1(zek::TZEKConfigApp::kAppName));
    app.setApplicationVersion(QStringLiteral(ZEK_VERSION));
}

// The menu entry starts the program in a directory of the user's own, so that its
// settings file has a place to live; a technician's start directory is used as it is.
bool enterUserDirectory() {
    const QString dir = zek::UserDirectory();
    if (!dir.isEmpty() && QDir().mkpath(dir) && QDir::setCurrent(dir))
        return true;
    // Started from a menu there is no terminal to read stderr, on Windows never one.
    const QString message =
        dir.isEmpty() ? QStringLiteral("This system names no directory for the user's files.")
                      : QStringLiteral("Cannot use the directory %1.").arg(QDir::toNativeSeparators(dir));
    std::fprintf(stderr, "zekconfig: %s\n", qPrintable(message));
    QMessageBox::critical(nullptr, QString::fromLatin1(zek::TZEKConfigApp::kAppName), message);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (onlyText(argc, argv)) {
        QCoreApplication app(argc, argv);
        describe(app);
        userDirectoryWanted(app);
        return 0;
    }
    QApplication app(argc, argv);
    describe(app);
    app.setDesktopFileName(QStringLiteral(ZEK_APP_ID));
    if (userDirectoryWanted(app) && !enterUserDirectory())
        return 1;
    Q_INIT_RESOURCE(resources);
    zek::TZEKConfigApp zek;
    zek.BuildMainWindow();
    zek.frame()->show();
    return app.exec();
}
