#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "net/tcp_socket.hpp"
#include "net/tls_session.hpp"

namespace quill::ftp {

// A connection as the client reads and writes it: the plain socket, or TLS
// over that socket once startTls has shaken hands. Reads and writes keep
// the socket's shape and bounds either way, so the callers do not change.
class Channel {
public:
    Channel() = default;
    Channel(TcpSocket socket) : plain_(std::move(socket)) {}  // NOLINT: a socket is a plain channel

    // The socket underneath, for connecting and addresses.
    TcpSocket& socket() { return tls_ ? tls_->socket() : plain_; }
    const TcpSocket& socket() const { return tls_ ? tls_->socket() : plain_; }

    // The socket's own calls, for setting it up.
    void bind(const std::string& address, std::uint16_t port) { socket().bind(address, port); }
    void setNoDelayOff() { socket().setNoDelayOff(); }
    void connect(const std::string& address, std::uint16_t port, int timeoutMs) {
        socket().connect(address, port, timeoutMs);
    }
    SocketAddress localAddress() const { return socket().localAddress(); }
    SocketAddress peerAddress() const { return socket().peerAddress(); }

    // From here on every byte is encrypted. A failed handshake closes the socket.
    void startTls(const TlsParameters& parameters);
    // The session, or nullptr while the channel is plain.
    TlsSession* tls() const { return tls_.get(); }

    bool isOpen() const { return socket().isOpen(); }
    bool sendAll(std::string_view bytes, int timeoutMs);
    std::size_t sendSome(std::string_view bytes, int timeoutMs);
    // Received bytes wait inside the channel, which a poll on the socket would miss.
    bool hasBuffered();
    bool readableNow();
    // Up to size bytes, every wait the bound's; 0 when the peer has closed.
    std::size_t receive(char* data, std::size_t size, ReceiveBound& bound);
    // The orderly end: the close alert (with TLS), the sending side shut
    // down, whatever the peer still sends read until it closes (within
    // timeoutMs in all), then closed, so the peer never sees a reset.
    void finish(int timeoutMs);
    // With TLS the close alert goes first; the channel is plain again afterwards.
    void close();

private:
    TcpSocket plain_;
    std::unique_ptr<TlsSession> tls_;
};

}  // namespace quill::ftp
