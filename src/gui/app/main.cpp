#include "gui/app/zek_config_app.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    app.setApplicationName(QString::fromLatin1(zek::TZEKConfigApp::kAppName));
    zek::TZEKConfigApp zek;
    zek.BuildMainWindow();
    zek.frame()->show();
    return app.exec();
}
