// The simulator's platform calls where it has none of its own: each reports failure.
#include "sim/sim_platform.h"

namespace zek {

qint64 sendFromAddress(qintptr, QByteArrayView, quint32, const QHostAddress&, quint16) {
    return -1;
}

bool setResetOnClose(qintptr) {
    return false;
}

bool shutdownSending(qintptr) {
    return false;
}

std::optional<DescriptorLimit> raiseDescriptorLimit() {
    return std::nullopt;
}

bool installQuitSignals(QCoreApplication&) {
    return false;
}

} // namespace zek
