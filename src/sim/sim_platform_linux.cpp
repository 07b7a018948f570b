// The simulator's platform calls on Linux: a datagram's source chosen with IP_PKTINFO,
// socket options for bad ends of a connection, the descriptor limit, and signals through
// a socket pair.
#include "sim/sim_platform.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zek {

qint64 sendFromAddress(qintptr socket, QByteArrayView bytes, quint32 source, const QHostAddress& to,
                       quint16 port) {
    bool isIpv4 = false;
    const quint32 destination = to.toIPv4Address(&isIpv4);
    if (!isIpv4 || socket < 0)
        return -1;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(destination);
    iovec data{const_cast<char*>(bytes.data()), static_cast<std::size_t>(bytes.size())};

    // ipi_spec_dst is the source Linux takes for an outgoing datagram.
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &target;
    message.msg_namelen = sizeof target;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(source);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);

    ssize_t sent = -1;
    do {
        sent = ::sendmsg(static_cast<int>(socket), &message, MSG_DONTWAIT | MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
}

bool setResetOnClose(qintptr socket) {
    if (socket < 0)
        return false;
    const linger option{1, 0};
    return ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &option, sizeof option) == 0;
}

bool shutdownSending(qintptr socket) {
    return socket >= 0 && ::shutdown(static_cast<int>(socket), SHUT_WR) == 0;
}

std::optional<DescriptorLimit> raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return std::nullopt;
    // An unlimited hard limit is not taken for descriptors; the kernel's own cap is.
    const rlim_t most = limit.rlim_max == RLIM_INFINITY ? rlim_t(1) << 20 : limit.rlim_max;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < most) {
        rlimit raised{most, limit.rlim_max};
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit.rlim_cur = most;
    }
    const auto shown = [](rlim_t value) { return value == RLIM_INFINITY ? qint64(1) << 40 : qint64(value); };
    return DescriptorLimit{shown(limit.rlim_cur), shown(limit.rlim_max)};
}

namespace {

int g_signalPipe[2] = {-1, -1};

void onQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

// The handler only writes to a socket pair, whose other end the loop watches.
bool installQuitSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace zek
