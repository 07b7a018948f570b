#include "gui/scan/udp_transport.h"

#include "gui/app/socket_notifier.h"
#include "net/udp_socket.h"

namespace zek {

namespace {

// The platform's datagram socket, its read readiness from a socket notifier.
class UdpSocket : public QObject, public UdpTransport {
public:
    explicit UdpSocket(ReadyFn onReadable) : m_onReadable(std::move(onReadable)) {}
    ~UdpSocket() override { close(); }

    bool create() override;
    bool bind(std::uint32_t address) override { return m_socket.bind(address); }
    bool setBroadcast(bool on) override { return m_socket.setBroadcast(on); }
    int requestReceiveBuffer(int bytes) override { return m_socket.requestReceiveBuffer(bytes); }
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) override {
        return result(m_socket.sendTo(bytes, address, port));
    }
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received,
                   std::uint16_t& senderPort) override {
        return result(m_socket.receive(buffer, received, senderPort));
    }
    void close() override;

    bool isOpen() const override { return m_socket.isOpen(); }
    std::uint16_t localPort() const override { return m_socket.localPort(); }
    int lastError() const override { return m_socket.lastError(); }
    std::string reasonText(int error) const override { return net::reasonText(error); }
    int notOpenError() const override { return net::notOpenError(); }

private:
    static Result result(net::UdpSocket::Result r) {
        return r == net::UdpSocket::Result::Done         ? Result::Done
               : r == net::UdpSocket::Result::WouldBlock ? Result::WouldBlock
                                                         : Result::Failed;
    }

    ReadyFn m_onReadable;
    net::UdpSocket m_socket;
    QPointer<QSocketNotifier> m_notifier; // a child: deleted with the socket at the latest
};

bool UdpSocket::create() {
    close();
    if (!m_socket.open())
        return false;
    m_notifier = new QSocketNotifier(qintptr(m_socket.handle()), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { m_onReadable(); });
    return true;
}

void UdpSocket::close() {
    dropNotifier(m_notifier);
    m_socket.close();
}

} // namespace

UdpTransport::Factory platformUdpFactory() {
    return [](UdpTransport::ReadyFn onReadable) -> std::unique_ptr<UdpTransport> {
        return std::make_unique<UdpSocket>(std::move(onReadable));
    };
}

} // namespace zek
