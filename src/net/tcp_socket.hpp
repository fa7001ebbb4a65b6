#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/descriptor.hpp"
#include "net/receive_bound.hpp"

namespace quill::ftp {

// No limit for a wait.
inline constexpr int kWaitForever = 0;

struct SocketAddress {
    std::string host;  // dotted IPv4
    std::uint16_t port = 0;
};

// "LOCALHOST" in any case gives 127.0.0.1, a dotted quad is used as it is,
// anything else is looked up and its first IPv4 address is used.
std::string resolveHost(const std::string& host);

// An IPv4 TCP socket that closes itself. Every failing call raises the
// client's socket errors.
class TcpSocket {
public:
    TcpSocket() = default;
    // Shuts the sending side down before the descriptor closes.
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept = default;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    static TcpSocket create();

    bool isOpen() const { return fd_.valid(); }

    // Leaves Nagle's algorithm on (TCP no-delay off), on every socket.
    void setNoDelayOff();
    void bind(const std::string& address, std::uint16_t port);
    // timeoutMs kWaitForever waits as long as the platform does; otherwise a
    // connect not done in time closes the socket and raises EConnectTimeout.
    void connect(const std::string& address, std::uint16_t port, int timeoutMs);
    void listen(int backlog);
    TcpSocket accept();

    SocketAddress localAddress() const;
    SocketAddress peerAddress() const;

    // Sends every byte; each wait for room is bounded by timeoutMs (10060 when
    // it passes). Returns false when the platform reports 0 bytes sent.
    bool sendAll(std::string_view bytes, int timeoutMs);

    // Sends what the socket takes, waiting at most timeoutMs for room;
    // returns the count, 0 when no room came. A platform report of 0 bytes
    // sent raises EConnClosedGracefully.
    std::size_t sendSome(std::string_view bytes, int timeoutMs);

    // False when nothing arrived within timeoutMs.
    bool waitReadable(int timeoutMs) const;
    // Looks without waiting.
    bool readableNow() const;
    // Up to size bytes; 0 means the peer closed.
    std::size_t receive(char* data, std::size_t size);
    // Waits as the bound allows, then receives up to size bytes and tells the
    // bound how many came; 0 means the peer closed.
    std::size_t receive(char* data, std::size_t size, ReceiveBound& bound);

    // Tells the peer that nothing more comes; receiving goes on.
    void shutdownSending();
    // Reads and drops whatever comes until the peer closes or timeoutMs has
    // passed in all. A socket closed with unread bytes answers with a reset,
    // which can make the peer drop what it received last.
    void drainUntilPeerCloses(int timeoutMs);

    // Shuts down the sending side and closes; failures are ignored.
    void close();

    // Hands the descriptor to an owner that closes it itself (a library
    // that speaks over it); this object owns nothing afterwards.
    int release() { return fd_.release(); }

private:
    friend int waitEitherReadable(const TcpSocket& first, const TcpSocket& second, int timeoutMs);
    explicit TcpSocket(int fd) : fd_(fd) {}
    files::Descriptor fd_;
};

// Waits until one of two sockets is readable: 1 for the first (preferred), 2
// for the second, 0 when timeoutMs passed. A closed second socket is ignored.
int waitEitherReadable(const TcpSocket& first, const TcpSocket& second, int timeoutMs);

}  // namespace quill::ftp
