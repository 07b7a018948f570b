#include "gui/app/user_directory.h"

#include <QStandardPaths>

namespace zek {

QString UserDirectory() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? config : config + QStringLiteral("/zekconfig");
}

} // namespace zek
