#include "gui/app/document_viewer.h"

#include "net/registered_viewer.h"

#include <QDir>
#include <QFileInfo>

namespace zek {

bool OpenWithViewer(const QUrl& address) {
    if (!address.isLocalFile())
        return net::OpenWithViewer(".htm", address.toString(QUrl::FullyEncoded).toStdString());
    const QFileInfo file(address.toLocalFile());
    return net::OpenWithViewer(QStringLiteral(".%1").arg(file.suffix()).toStdString(),
                               QDir::toNativeSeparators(file.absoluteFilePath()).toStdString());
}

} // namespace zek
