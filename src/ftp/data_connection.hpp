#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "ftp/tcp_socket.hpp"

namespace quill::ftp {

// The second connection of one transfer: an outgoing connection (passive) or
// a listener and the one connection accepted on it (active). Closes itself.
class DataConnection {
public:
    // Passive.
    void connect(const SocketAddress& target, int connectTimeoutMs);

    // Active: a listener on the address, a free port, backlog 15.
    SocketAddress listen(const std::string& localAddress);
    // Waits for the server in rounds of a second, at most limitMs in all. A
    // failed or missed accept leaves the connection without a socket.
    void acceptServer(int limitMs);

    // Hands on what arrives, in pieces of pieceSize (the last one shorter),
    // until the server closes. Each wait is bounded by timeoutMs.
    void receiveAll(const std::function<void(std::string_view)>& sink, std::size_t pieceSize, int timeoutMs);

    // Sends the piece completely; without a socket the server is gone.
    void send(std::string_view piece, int timeoutMs);

    void close();

private:
    TcpSocket listener_;
    TcpSocket socket_;
};

}  // namespace quill::ftp
