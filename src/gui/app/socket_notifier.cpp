#include "gui/app/socket_notifier.h"

namespace zek {

namespace {

void drop(QPointer<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
}

} // namespace

void SocketWatch::watch(net::SocketHandle handle) {
    stop();
    m_handle = handle;
}

void SocketWatch::stop() {
    drop(m_read);
    drop(m_write);
    m_handle = net::kNoSocket;
}

void SocketWatch::enable(QPointer<QSocketNotifier>& notifier, QSocketNotifier::Type type, bool on) {
    if (on && !notifier && m_handle != net::kNoSocket) {
        notifier = new QSocketNotifier(qintptr(m_handle), type, this);
        connect(notifier, &QSocketNotifier::activated, this,
                type == QSocketNotifier::Read ? &SocketWatch::readable : &SocketWatch::writable);
    }
    if (notifier)
        notifier->setEnabled(on);
}

} // namespace zek
