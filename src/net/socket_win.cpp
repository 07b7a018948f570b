// The Windows side of the socket seam: Winsock 2 numbers, sockets and select.
// select rather than WSAPoll: WSAPoll on older Windows never reports a refused
// non-blocking connect, while select names it in the exception set.
// Winsock's fd_set is an array of handles, 64 unless set before winsock2.h, which must
// come before the other system headers.
#define FD_SETSIZE 1024
#include <winsock2.h>

#include <mswsock.h>
#include <windows.h>
#include <ws2tcpip.h>

#include "net/readiness.h"
#include "net/tcp_socket.h"
#include "net/udp_socket.h"

#include <climits>

namespace zek::net {

namespace {

// Winsock works only between WSAStartup and WSACleanup; the seam starts it once, on the
// first socket, and leaves the cleanup to the end of the process.
bool startWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

sockaddr_in ipv4(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address);
    return sa;
}

SOCKET sock(SocketHandle handle) {
    return SOCKET(handle);
}

// A non-blocking socket that child processes do not inherit.
SocketHandle openSocket(int type, int protocol, int& error) {
    if (!startWinsock()) {
        error = WSANOTINITIALISED;
        return kNoSocket;
    }
    const SOCKET s =
        WSASocketW(AF_INET, type, protocol, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        error = WSAGetLastError();
        return kNoSocket;
    }
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        error = WSAGetLastError();
        closesocket(s);
        return kNoSocket;
    }
    error = 0;
    return SocketHandle(s);
}

// Errors of a receive that mean the connection is gone rather than one failed read.
bool connectionLost(int error) {
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAETIMEDOUT ||
           error == WSAENETRESET || error == WSAEHOSTUNREACH || error == WSAENETUNREACH ||
           error == WSAESHUTDOWN;
}

int chunk(std::size_t size) {
    return size > std::size_t(INT_MAX) ? INT_MAX : int(size);
}

void closeHandle(SocketHandle& handle) {
    if (handle != kNoSocket)
        closesocket(sock(handle));
    handle = kNoSocket;
}

} // namespace

bool wouldBlock(int error) {
    return error == WSAEWOULDBLOCK;
}

int notOpenError() {
    return WSAENOTSOCK;
}

int noBufferError() {
    return WSAENOBUFS;
}

std::string reasonText(int error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                        nullptr, DWORD(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason(text ? text : "", length);
    LocalFree(text);
    // System messages end in a full stop and blanks; the callers put their own punctuation.
    while (!reason.empty() &&
           (reason.back() == ' ' || reason.back() == '.' || reason.back() == '\r' || reason.back() == '\n'))
        reason.pop_back();
    return reason.empty() ? "Winsock error " + std::to_string(error) : reason;
}

std::string errorText(int error) {
    return reasonText(error) + " (Winsock:" + std::to_string(error) + ")";
}

bool UdpSocket::failed() {
    m_lastError = isOpen() ? WSAGetLastError() : notOpenError();
    return false;
}

bool UdpSocket::open() {
    close();
    m_handle = openSocket(SOCK_DGRAM, IPPROTO_UDP, m_lastError);
    if (!isOpen())
        return false;
    // Without this a module that sends a port-unreachable makes the next receive fail with
    // a reset, which a datagram socket has no use for.
    BOOL report = FALSE;
    DWORD unused = 0;
    WSAIoctl(sock(m_handle), SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &unused, nullptr,
             nullptr);
    return true;
}

bool UdpSocket::bind(std::uint32_t address) {
    const sockaddr_in sa = ipv4(address, 0);
    return (isOpen() && ::bind(sock(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) ||
           failed();
}

bool UdpSocket::setBroadcast(bool on) {
    const BOOL value = on ? TRUE : FALSE;
    return (isOpen() && ::setsockopt(sock(m_handle), SOL_SOCKET, SO_BROADCAST,
                                     reinterpret_cast<const char*>(&value), sizeof value) == 0) ||
           failed();
}

int UdpSocket::requestReceiveBuffer(int bytes) {
    int granted = 0;
    int size = sizeof granted;
    if (!isOpen() ||
        ::setsockopt(sock(m_handle), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                     sizeof bytes) != 0 ||
        ::getsockopt(sock(m_handle), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted), &size) != 0) {
        failed();
        return 0;
    }
    return granted;
}

UdpSocket::Result UdpSocket::sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address,
                                    std::uint16_t port) {
    if (isOpen() && bytes.size() > std::size_t(INT_MAX)) {
        m_lastError = WSAEMSGSIZE;
        return Result::Failed;
    }
    const sockaddr_in sa = ipv4(address, port);
    if (isOpen() && ::sendto(sock(m_handle), reinterpret_cast<const char*>(bytes.data()), int(bytes.size()),
                             0, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != SOCKET_ERROR)
        return Result::Done;
    failed();
    return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
}

UdpSocket::Result UdpSocket::receive(std::span<std::uint8_t> buffer, std::size_t& received,
                                     std::uint16_t& senderPort) {
    sockaddr_in sa{};
    int size = sizeof sa;
    const int n = isOpen() ? ::recvfrom(sock(m_handle), reinterpret_cast<char*>(buffer.data()),
                                        chunk(buffer.size()), 0, reinterpret_cast<sockaddr*>(&sa), &size)
                           : SOCKET_ERROR;
    if (n == SOCKET_ERROR) {
        failed();
        // Winsock fills the buffer with the datagram's start and reports the rest as lost.
        if (m_lastError == WSAEMSGSIZE) {
            received = buffer.size();
            senderPort = ntohs(sa.sin_port);
            return Result::Done;
        }
        return wouldBlock(m_lastError) ? Result::WouldBlock : Result::Failed;
    }
    received = std::size_t(n);
    senderPort = ntohs(sa.sin_port);
    return Result::Done;
}

void UdpSocket::close() {
    closeHandle(m_handle);
}

std::uint16_t UdpSocket::localPort() const {
    sockaddr_in sa{};
    int size = sizeof sa;
    if (!isOpen() || ::getsockname(sock(m_handle), reinterpret_cast<sockaddr*>(&sa), &size) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

bool TcpSocket::failed() {
    m_lastError = WSAGetLastError();
    return false;
}

bool TcpSocket::notOpen() {
    if (isOpen())
        return false;
    m_lastError = notOpenError();
    return true;
}

bool TcpSocket::open() {
    close();
    m_handle = openSocket(SOCK_STREAM, IPPROTO_TCP, m_lastError);
    return isOpen();
}

bool TcpSocket::bind(std::uint32_t localAddress) {
    if (notOpen())
        return false;
    const sockaddr_in sa = ipv4(localAddress, 0);
    return ::bind(sock(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 || failed();
}

bool TcpSocket::startConnect(std::uint32_t address, std::uint16_t port) {
    if (notOpen())
        return false;
    const sockaddr_in sa = ipv4(address, port);
    if (::connect(sock(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0)
        return true;
    return wouldBlock(WSAGetLastError()) || failed();
}

int TcpSocket::connectError() {
    if (notOpen())
        return m_lastError;
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(sock(m_handle), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
        error = WSAGetLastError();
    m_lastError = error;
    return error;
}

TcpSocket::ReadResult TcpSocket::read(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = 0;
    if (notOpen())
        return ReadResult::Failed;
    const int n = ::recv(sock(m_handle), reinterpret_cast<char*>(buffer.data()), chunk(buffer.size()), 0);
    if (n > 0) {
        received = std::size_t(n);
        return ReadResult::Data;
    }
    const int error = n == 0 ? 0 : WSAGetLastError();
    if (n < 0 && (wouldBlock(error) || error == WSAEINTR))
        return ReadResult::WouldBlock;
    m_lastError = error;
    return n == 0 || connectionLost(error) ? ReadResult::Ended : ReadResult::Failed;
}

TcpSocket::SendResult TcpSocket::send(std::span<const std::uint8_t> bytes, std::size_t& taken) {
    taken = 0;
    if (notOpen())
        return SendResult::Failed;
    // Windows raises no signal for a send on a broken connection; the error comes back here.
    const int n = ::send(sock(m_handle), reinterpret_cast<const char*>(bytes.data()), chunk(bytes.size()), 0);
    if (n != SOCKET_ERROR) {
        taken = std::size_t(n);
        return SendResult::Done;
    }
    m_lastError = WSAGetLastError();
    return wouldBlock(m_lastError) ? SendResult::WouldBlock : SendResult::Failed;
}

void TcpSocket::shutdownBoth() {
    if (isOpen())
        ::shutdown(sock(m_handle), SD_BOTH);
}

void TcpSocket::close() {
    closeHandle(m_handle);
}

int waitReady(std::span<Watch> watches, int timeoutMs) {
    fd_set reads, writes, failures;
    FD_ZERO(&reads);
    FD_ZERO(&writes);
    FD_ZERO(&failures);
    int watched = 0;
    for (Watch& w : watches) {
        w.readable = w.writable = false;
        if (w.handle == kNoSocket || !(w.wantRead || w.wantWrite))
            continue;
        if (watched == FD_SETSIZE) {
            WSASetLastError(WSAEINVAL);
            return -1;
        }
        ++watched;
        if (w.wantRead)
            FD_SET(sock(w.handle), &reads);
        if (w.wantWrite)
            FD_SET(sock(w.handle), &writes);
        FD_SET(sock(w.handle), &failures);
    }
    timeoutMs = timeoutMs < 0 ? 0 : timeoutMs;
    // select refuses three empty sets at once instead of waiting.
    if (watched == 0) {
        Sleep(DWORD(timeoutMs));
        return 0;
    }
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (::select(0, &reads, &writes, &failures, &timeout) == SOCKET_ERROR)
        return WSAGetLastError() == WSAEINTR ? 0 : -1;
    int ready = 0;
    for (Watch& w : watches) {
        if (w.handle == kNoSocket)
            continue;
        const bool broken = FD_ISSET(sock(w.handle), &failures);
        w.readable = (w.wantRead && FD_ISSET(sock(w.handle), &reads)) || (broken && w.wantRead);
        w.writable = (w.wantWrite && FD_ISSET(sock(w.handle), &writes)) || (broken && w.wantWrite);
        ready += (w.readable || w.writable || broken) ? 1 : 0;
    }
    return ready;
}

} // namespace zek::net
