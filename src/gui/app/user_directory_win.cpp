#include "gui/app/user_directory.h"

#include <QDir>

namespace zek {

// The roaming profile, as Windows programs keep a user's settings: the folder follows the
// technician from PC to PC in a domain, and a program under Program Files cannot write
// beside itself.
QString UserDirectory() {
    const QString appData = qEnvironmentVariable("APPDATA");
    return appData.isEmpty() ? appData : QDir::fromNativeSeparators(appData) + QStringLiteral("/zekconfig");
}

} // namespace zek
