// The simulator's platform calls on Windows: socket options for bad ends of a connection,
// and Ctrl+C or a closed console as an orderly quit. A datagram's source cannot be chosen
// portably, so replies leave from the shared socket's address.
#include "sim/sim_platform.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>
#include <winsock2.h>

namespace zek {

qint64 sendFromAddress(qintptr, QByteArrayView, quint32, const QHostAddress&, quint16) {
    return -1;
}

bool setResetOnClose(qintptr socket) {
    if (socket < 0)
        return false;
    const linger option{1, 0};
    return ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_LINGER,
                        reinterpret_cast<const char*>(&option), sizeof option) == 0;
}

bool shutdownSending(qintptr socket) {
    return socket >= 0 && ::shutdown(static_cast<SOCKET>(socket), SD_SEND) == 0;
}

// Windows has no per-process limit of sockets to raise.
std::optional<DescriptorLimit> raiseDescriptorLimit() {
    return std::nullopt;
}

namespace {

QCoreApplication* g_app = nullptr;

// Windows calls this on a thread of its own: the quit is queued to the loop's thread.
BOOL WINAPI onConsoleEvent(DWORD) {
    QMetaObject::invokeMethod(g_app, &QCoreApplication::quit, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

bool installQuitSignals(QCoreApplication& app) {
    g_app = &app;
    return ::SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
}

} // namespace zek
