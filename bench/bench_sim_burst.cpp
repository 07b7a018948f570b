// How long the replies of 260 simulated modules take to reach one receiver, and how
// many arrive, with and without pacing and an enlarged receive buffer. Opens sockets:
// run it inside a private network namespace (scripts/netns-run.sh).
#include "sim/fleet_config.h"
#include "sim/sim_fleet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <cstdio>

namespace {

constexpr int kModules = 260;
constexpr int kSettleMs = 3000;

void runCase(int spacingMs, int receiveBuffer) {
    zek::SimFleet fleet(zek::generateModules(kModules));
    fleet.setOptions({.replySpacingMs = spacingMs});
    if (!fleet.start()) {
        std::printf("cannot start the fleet: %s\n", qPrintable(fleet.errorString()));
        return;
    }
    QUdpSocket receiver;
    if (!receiver.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0)) {
        std::printf("cannot bind the receiver\n");
        return;
    }
    if (receiveBuffer > 0)
        receiver.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(receiveBuffer));
    const int effective = receiver.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();

    QEventLoop loop;
    QElapsedTimer clock;
    int arrived = 0;
    qint64 lastNs = 0;
    QObject::connect(&receiver, &QUdpSocket::readyRead, [&] {
        while (receiver.hasPendingDatagrams()) {
            receiver.receiveDatagram();
            ++arrived;
            lastNs = clock.nsecsElapsed();
        }
        if (arrived == kModules)
            loop.quit();
    });
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);

    const QByteArray search = QByteArray::fromHex("0001000000000000000A");
    clock.start();
    receiver.writeDatagram(search, QHostAddress::Broadcast, zek::kSimUdpPort);
    loop.exec();
    std::printf("%-6s spacing %d ms, receive buffer %8d bytes: %3d of %d replies, last after %8.3f ms\n",
                spacingMs == 0 ? "burst" : "paced", spacingMs, effective, arrived, kModules, lastNs / 1e6);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    runCase(0, 0);
    runCase(0, 4 << 20);
    runCase(1, 0);
    runCase(1, 4 << 20);
    return 0;
}
