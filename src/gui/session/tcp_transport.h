#pragma once

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace zek {

// A non-blocking IPv4 stream socket bound to one PC interface address, whose events
// reach the user-interface loop. Error numbers are the platform's.
//
// Events, each with an error number (0 = none):
// - Connected: the connect started by connectTo() has completed, with or without error.
// - Readable: data waits (or, with an error, reading failed); read() until WouldBlock or Ended.
// - Writable: only with an error, when queued bytes could not be sent later.
// - Closed: the peer closed (0) or reset the connection; it follows the read that found
//   the end, as a separate event.
// The object may be closed from inside its own event; events of a closed socket are dropped.
class TcpTransport : public QObject {
public:
    enum class Event { Readable = 1, Writable = 2, Connected = 16, Closed = 32 };
    using EventFn = std::function<void(Event event, int error)>;
    enum class ReadResult { Data, WouldBlock, Ended, Failed };
    // A new socket for a local address (first number in bits 31-24), a child of `parent`.
    using Factory =
        std::function<TcpTransport*(std::uint32_t localAddress, EventFn onEvent, QObject* parent)>;

    using QObject::QObject;

    // Creates the descriptor; false with lastError() set.
    virtual bool open() = 0;
    // Binds to the local address with a port the system chooses.
    virtual bool bind() = 0;
    // Starts connecting. True while the connect is under way; its completion comes as the
    // Connected event. False when it failed at once.
    virtual bool connectTo(std::uint32_t address, std::uint16_t port) = 0;
    // Reads what waits, at most buffer.size() bytes. Ended: the peer closed or reset the
    // connection (the Closed event follows). Failed: lastError() says why.
    virtual ReadResult read(std::span<std::uint8_t> buffer, std::size_t& received) = 0;
    // Takes a copy of all bytes and sends them in order, later if need be. False, with
    // nothing taken, when the socket is not open, its queue is full or the send failed.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // No further sends or receives in either direction.
    virtual void shutdownBoth() = 0;
    virtual void close() = 0;

    virtual int lastError() const = 0;
    // The error number of an operation on a socket that is not open.
    virtual int notOpenError() const = 0;
};

// The platform's stream socket.
TcpTransport::Factory platformTcpFactory();

} // namespace zek
