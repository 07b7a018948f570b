#pragma once

#include "gui/scan/udp_transport.h"
#include "gui/session/tcp_transport.h"

#include <QByteArray>
#include <QMap>
#include <QPointer>

#include <cstring>

namespace zek::test {

// A call named in `fails` fails with that error number (9 stands for "not open").
struct FakeFailures {
    QMap<QString, int> fails;
    int error = 0;
    bool ok(const QString& call) { return (error = fails.value(call)) == 0; }
};

inline QByteArray bytesOf(std::span<const std::uint8_t> bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// A stream socket played by the test: it records what the session does to it and reports
// what the test makes the platform report.
class FakeTcp : public TcpTransport, public FakeFailures {
public:
    FakeTcp(std::uint32_t local, EventFn onEvent, QObject* parent)
        : TcpTransport(parent), localAddress(local), report(std::move(onEvent)) {}

    std::uint32_t localAddress, remoteAddress = 0;
    std::uint16_t remotePort = 0;
    bool isOpen = false, isShutDown = false;
    QByteArray written;
    QList<QByteArray> chunks; // one read each
    const EventFn report;

    void deliver(const QByteArray& chunk) {
        chunks.append(chunk);
        report(Event::Readable, 0);
    }

    bool open() override { return ok("open") && (isOpen = true); }
    bool bind() override { return ok("bind"); }
    bool connectTo(std::uint32_t address, std::uint16_t port) override {
        remoteAddress = address;
        remotePort = port;
        return ok("connect");
    }
    ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received) override {
        received = chunks.isEmpty() ? 0 : std::min(buffer.size(), std::size_t(chunks.front().size()));
        if (received == 0)
            return ReadResult::WouldBlock;
        std::memcpy(buffer.data(), chunks.takeFirst().constData(), received);
        return ReadResult::Data;
    }
    bool write(std::span<const std::uint8_t> bytes) override {
        written += ok(isOpen ? "write" : "closed") ? bytesOf(bytes) : QByteArray();
        return error == 0;
    }
    void shutdownBoth() override { isShutDown = true; }
    void close() override { isOpen = false; }
    int lastError() const override { return error; }
    int notOpenError() const override { return 9; }

    // Every socket a session makes is a fake one, the newest last.
    static Factory factory(QList<QPointer<FakeTcp>>& made) {
        return [&made](std::uint32_t local, EventFn onEvent, QObject* parent) -> TcpTransport* {
            made.append(new FakeTcp(local, std::move(onEvent), parent));
            made.back()->fails["closed"] = 9;
            return made.back();
        };
    }
};

// A datagram socket played by the test; error 11 makes a send "would block", "buffer"
// is the receive buffer granted.
class FakeUdp : public UdpTransport, public FakeFailures {
public:
    struct Datagram {
        QByteArray bytes;
        std::uint32_t address;
        std::uint16_t port;
    };
    explicit FakeUdp(ReadyFn ready) : ready(std::move(ready)) {}

    const ReadyFn ready; // datagrams wait
    bool open = false, broadcast = false;
    std::uint32_t boundTo = 0;
    QList<Datagram> sent, incoming;

    bool create() override { return open = ok("create"); }
    bool bind(std::uint32_t address) override { return (boundTo = address, ok("bind")); }
    bool setBroadcast(bool on) override { return broadcast = on; }
    int requestReceiveBuffer(int bytes) override { return fails.value("buffer", bytes); }
    Result sendTo(std::span<const std::uint8_t> bytes, std::uint32_t address, std::uint16_t port) override {
        if (!ok("send"))
            return error == 11 ? Result::WouldBlock : Result::Failed;
        sent.append({bytesOf(bytes), address, port});
        return Result::Done;
    }
    Result receive(std::span<std::uint8_t> buffer, std::size_t& received,
                   std::uint16_t& senderPort) override {
        if (!ok("receive") || incoming.isEmpty())
            return error ? Result::Failed : Result::WouldBlock;
        const Datagram d = incoming.takeFirst();
        received = std::min(buffer.size(), std::size_t(d.bytes.size()));
        std::memcpy(buffer.data(), d.bytes.constData(), received);
        senderPort = d.port;
        return Result::Done;
    }
    void close() override { open = false; }
    bool isOpen() const override { return open; }
    std::uint16_t localPort() const override { return open ? 40000 : 0; }
    int lastError() const override { return error; }
    std::string reasonText(int error) const override { return "reason " + std::to_string(error); }
    int notOpenError() const override { return 9; }

    // The endpoint's one socket is this fake; `made` points to it.
    static Factory factory(FakeUdp*& made) {
        return [&made](ReadyFn ready) -> std::unique_ptr<UdpTransport> {
            auto fake = std::make_unique<FakeUdp>(std::move(ready));
            made = fake.get();
            return fake;
        };
    }
};

} // namespace zek::test
