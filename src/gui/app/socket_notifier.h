#pragma once

#include <QPointer>
#include <QSocketNotifier>

namespace zek {

// A socket may be closed from within its own notification: disable now, delete later.
inline void dropNotifier(QPointer<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
}

} // namespace zek
