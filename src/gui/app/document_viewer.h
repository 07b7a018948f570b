#pragma once

#include <QUrl>

namespace zek {

// Opens a document or a web address with the viewer the desktop registers for its type.
// The address reaches the viewer as one argument and never passes through a shell, so a
// path with blanks, quotes, ';' or '$(...)' arrives as it is. False when nothing could be
// started; the caller stays silent then.
bool OpenWithViewer(const QUrl& address);

} // namespace zek
