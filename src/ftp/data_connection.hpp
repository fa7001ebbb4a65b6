#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/channel.hpp"
#include "net/tcp_socket.hpp"
#include "net/transfer_pace.hpp"

namespace quill::ftp {

// The control connection while data moves. A server that gives up says so
// there (426, often without closing the data connection), and the transfer
// must end at once instead of waiting out its bound.
class ControlWatch {
public:
    // pending: a reply is already received but unread. read: reads the reply
    // and raises when it is not a success.
    ControlWatch(const TcpSocket& socket, std::function<bool()> pending, std::function<void()> read)
        : socket_(socket), pending_(std::move(pending)), read_(std::move(read)) {}

    // Until a reply has been read.
    bool active() const { return active_; }
    const TcpSocket& socket() const { return socket_; }
    // Reads the reply when one has begun to arrive; already read, or also
    // waiting on the socket.
    void readIfPending();
    void readIfSpoke();
    void read();

private:
    const TcpSocket& socket_;
    std::function<bool()> pending_;
    std::function<void()> read_;
    bool active_ = true;
};

// The second connection of one transfer: an outgoing connection (passive) or
// a listener and the one connection accepted on it (active). Closes itself.
// Moving data must keep the pace of TransferPace within boundMs.
class DataConnection {
public:
    explicit DataConnection(int boundMs) : boundMs_(boundMs), pace_(boundMs) {}

    // Passive.
    void connect(const SocketAddress& target, int connectTimeoutMs);

    // Active: a listener on the address, a free port, backlog 15.
    SocketAddress listen(const std::string& localAddress);
    // Waits at most limitMs for the server to connect from serverHost; a
    // connection from anywhere else is closed and the wait goes on. Once the
    // control connection has something to say (the server's final reply,
    // likely), a late connection gets only a short grace. False when no
    // connection was accepted.
    bool acceptServer(const std::string& serverHost, const TcpSocket& control, bool controlPending, int limitMs);

    // Hands on what arrives, in pieces of pieceSize (the last one shorter),
    // until the server closes, and returns the number of bytes. Too slow a
    // flow, counted on the bytes reaching the socket, raises EReadTimeout.
    std::uint64_t receiveAll(const std::function<void(std::string_view)>& sink, std::size_t pieceSize,
                             ControlWatch& control);

    // Sends the piece completely; without a socket the server is gone. Too
    // slow a flow raises socket error 10060.
    void send(std::string_view piece, ControlWatch& control);

    // TLS as the client, once the server is ready for it; the session of the
    // control connection is offered for resumption. A new session must show
    // the control connection's certificate. Without a socket nothing happens.
    void startTls(const TlsParameters& parameters, const std::string& controlFingerprint);
    // The orderly end after a transfer (see Channel::finish), bounded by the
    // transfer's bound.
    void finish();
    // Ends at once, for a transfer that failed.
    void close();

private:
    TcpSocket listener_;
    Channel socket_;
    int boundMs_;
    TransferPace pace_;
};

}  // namespace quill::ftp
