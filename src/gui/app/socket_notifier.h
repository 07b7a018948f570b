#pragma once

#include "net/socket_error.h"

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

namespace zek {

// The loop's readiness notifications of one socket of src/net, as signals. Each direction is
// watched only while enabled. A socket may be closed from within its own notification:
// stop() disables now and deletes later.
class SocketWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SocketWatch() override { stop(); }

    // Watches this socket from now on, nothing enabled yet. A test's socket double has no
    // handle: its readiness is the test's to signal.
    void watch(net::SocketHandle handle);
    void setReadEnabled(bool on) { enable(m_read, QSocketNotifier::Read, on); }
    void setWriteEnabled(bool on) { enable(m_write, QSocketNotifier::Write, on); }
    void stop();

signals:
    void readable();
    void writable();

private:
    void enable(QPointer<QSocketNotifier>& notifier, QSocketNotifier::Type type, bool on);

    net::SocketHandle m_handle = net::kNoSocket;
    QPointer<QSocketNotifier> m_read;
    QPointer<QSocketNotifier> m_write;
};

} // namespace zek
