#include "sim/source_address.h"

#ifdef Q_OS_LINUX
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace zek {

#ifdef Q_OS_LINUX
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
#else
qint64 sendFromAddress(qintptr, QByteArrayView, quint32, const QHostAddress&, quint16) {
    return -1;
}
#endif

} // namespace zek
