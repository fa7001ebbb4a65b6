#pragma once

#include <gnutls/gnutls.h>

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "net/receive_bound.hpp"
#include "net/tcp_socket.hpp"
#include "net/tls_errors.hpp"

namespace quill::ftp {

// What the client needs to know to open TLS on a connected socket.
struct TlsParameters {
    std::string host;        // as typed: checked against the certificate, sent as server name
    int waitMs = 0;          // every wait, and the handshake and the close as a whole
    std::string resumeData;  // another session's sessionData(), or empty
};

// The server's certificate as the client judges it.
struct PeerCertificate {
    std::string fingerprint;  // SHA-256 of the certificate, upper-case hex without separators
    std::string problem;      // why the system's authorities do not vouch for it; empty when they do
};

// Decides about a certificate that the system's authorities do not vouch
// for: true goes on with it, false ends the connection.
using CertificateTrust = std::function<bool(const std::string& host, const PeerCertificate& certificate)>;

// The client side of TLS 1.2 or newer over a connected socket, which it owns
// from then on. The socket carries the bytes, so its bounds, errors and fault
// hooks apply unchanged; a wait that passes its bound raises "Read Timeout".
class TlsSession {
public:
    // Shakes hands within parameters.waitMs.
    TlsSession(TcpSocket socket, const TlsParameters& parameters);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    PeerCertificate peerCertificate() const;
    // For resuming this session on another connection.
    std::string sessionData() const;
    bool resumed() const;

    bool sendAll(std::string_view bytes, int timeoutMs);
    // Sends at most one record, waiting at most timeoutMs for room; 0 when
    // none came, and then the same bytes must be offered again.
    std::size_t sendSome(std::string_view bytes, int timeoutMs);
    // Decrypted bytes (or the end) wait, so a poll on the socket would miss them.
    bool hasBuffered();
    // Looks without waiting; reads what has fully arrived.
    bool readableNow();
    // Up to size bytes; 0 at the end of the connection. Every wait on the
    // socket, inside a record too, is the bound's.
    std::size_t receive(char* data, std::size_t size, ReceiveBound& bound);

    TcpSocket& socket() { return socket_; }
    const TcpSocket& socket() const { return socket_; }

    // Sends the close alert (without waiting for the server's); failures are ignored.
    void sendCloseAlert();
    // Sends the close alert and closes the socket; failures are ignored.
    void close();

private:
    static ssize_t push(gnutls_transport_ptr_t self, const void* data, std::size_t size);
    static ssize_t pull(gnutls_transport_ptr_t self, void* data, std::size_t size);
    static int pullTimeout(gnutls_transport_ptr_t self, unsigned int ms);

    int currentWait() const;
    // Raises what went wrong underneath, or the library's reason after prefix.
    [[noreturn]] void fail(int code, const char* prefix);
    std::optional<std::size_t> receiveRecord(char* data, std::size_t size);

    TcpSocket socket_;
    gnutls_session_t session_ = nullptr;
    std::string host_;
    int waitMs_ = 0;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    bool noWait_ = false;
    std::optional<int> roomWaitMs_;  // set while sendSome runs
    ReceiveBound* bound_ = nullptr;  // set while receive runs
    std::string serverFirstBytes_;   // of the handshake, to name an old version the server offers
    std::exception_ptr failure_;
    std::string ready_;
    bool ended_ = false;
    bool closeAlertSent_ = false;
};

}  // namespace quill::ftp
