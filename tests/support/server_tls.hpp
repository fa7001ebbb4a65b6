#pragma once

#include <gnutls/gnutls.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "support/test_certificate.hpp"

namespace quill::test {

// The server side of TLS on a connected socket (not owned), for the scripted
// server. Every wait is bounded by timeoutMs.
class ServerTls {
public:
    // Shakes hands; throws std::runtime_error when that fails. With a ticket
    // key, clients may resume sessions of each other's connections. A
    // priority string (GnuTLS syntax) limits what the server offers.
    ServerTls(int fd, const TestCertificate& certificate, int timeoutMs, const gnutls_datum_t* ticketKey = nullptr,
              const std::string& priorities = {});
    ~ServerTls();
    ServerTls(const ServerTls&) = delete;
    ServerTls& operator=(const ServerTls&) = delete;

    bool resumed() const { return gnutls_session_is_resumed(session_) != 0; }
    bool send(std::string_view bytes);
    // The bytes as one record, encrypted but not sent, for sending by hand.
    std::string seal(std::string_view bytes);
    // Decrypted bytes waiting that a poll on the socket would not show.
    bool pending() const;
    // Bytes received; 0 at the end; -1 on failure or when timeoutMs passed.
    long receive(char* data, std::size_t size);
    // The close alert.
    void bye();

private:
    void release();

    gnutls_certificate_credentials_t credentials_ = nullptr;
    gnutls_session_t session_ = nullptr;
    int fd_;
};

}  // namespace quill::test
