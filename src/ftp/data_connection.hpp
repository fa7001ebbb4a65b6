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

// The second connection of one transfer: an outgoing connection (passive) or
// a listener and the one connection accepted on it (active). Closes itself.
// Moving data must keep the pace of TransferPace within boundMs.
class DataConnection {
public:
    explicit DataConnection(int boundMs) : pace_(boundMs) {}

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
    bool hasSocket() const { return socket_.isOpen(); }

    // Hands on what arrives, in pieces of pieceSize (the last one shorter),
    // until the server closes, and returns the number of bytes. Too slow a
    // flow raises EReadTimeout.
    std::uint64_t receiveAll(const std::function<void(std::string_view)>& sink, std::size_t pieceSize);

    // Sends the piece completely; without a socket the server is gone. Too
    // slow a flow raises socket error 10060.
    void send(std::string_view piece);

    // TLS as the client, once the server is ready for it; the session of the
    // control connection is offered for resumption. A new session must show
    // the control connection's certificate. Without a socket nothing happens.
    void startTls(const TlsParameters& parameters, const std::string& controlFingerprint);
    // Known after close.
    bool endedWithoutCloseAlert() const { return endedWithoutCloseAlert_; }

    void close();

private:
    TcpSocket listener_;
    Channel socket_;
    TransferPace pace_;
    bool endedWithoutCloseAlert_ = false;
};

}  // namespace quill::ftp
