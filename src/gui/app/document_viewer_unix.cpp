#include "gui/app/document_viewer.h"

#include <QDesktopServices>
#include <QProcess>

namespace zek {

bool OpenWithViewer(const QUrl& address) {
    if (QDesktopServices::openUrl(address))
        return true;
    // A platform without desktop services (offscreen, a bare X server) still has the
    // freedesktop opener, which the desktop services would have started the same way.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address.toString(QUrl::FullyEncoded)});
}

} // namespace zek
