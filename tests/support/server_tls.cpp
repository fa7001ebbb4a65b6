#include "support/server_tls.hpp"

#include <sys/socket.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quill::test {

namespace {

// A client that already went away must not end the test process.
ssize_t pushWithoutSignal(gnutls_transport_ptr_t fd, const void* data, std::size_t size) {
    return ::send(static_cast<int>(reinterpret_cast<std::intptr_t>(fd)), data, size, MSG_NOSIGNAL);
}

ssize_t pushIntoString(gnutls_transport_ptr_t sealed, const void* data, std::size_t size) {
    static_cast<std::string*>(sealed)->append(static_cast<const char*>(data), size);
    return static_cast<ssize_t>(size);
}

}  // namespace

ServerTls::ServerTls(int fd, const TestCertificate& certificate, int timeoutMs, const gnutls_datum_t* ticketKey,
                     const std::string& priorities)
    : fd_(fd) {
    const gnutls_datum_t cert{reinterpret_cast<unsigned char*>(const_cast<char*>(certificate.certificatePem().data())),
                              static_cast<unsigned>(certificate.certificatePem().size())};
    const gnutls_datum_t key{reinterpret_cast<unsigned char*>(const_cast<char*>(certificate.keyPem().data())),
                             static_cast<unsigned>(certificate.keyPem().size())};
    int result = gnutls_certificate_allocate_credentials(&credentials_);
    if (result >= 0) result = gnutls_certificate_set_x509_key_mem(credentials_, &cert, &key, GNUTLS_X509_FMT_PEM);
    if (result >= 0) result = gnutls_init(&session_, GNUTLS_SERVER);
    if (result >= 0)
        result = priorities.empty() ? gnutls_set_default_priority(session_)
                                    : gnutls_priority_set_direct(session_, priorities.c_str(), nullptr);
    if (result >= 0) result = gnutls_credentials_set(session_, GNUTLS_CRD_CERTIFICATE, credentials_);
    if (result >= 0 && ticketKey != nullptr) result = gnutls_session_ticket_enable_server(session_, ticketKey);
    if (result >= 0) {
        gnutls_transport_set_int(session_, fd);
        gnutls_transport_set_push_function(session_, &pushWithoutSignal);
        gnutls_handshake_set_timeout(session_, static_cast<unsigned>(timeoutMs));
        gnutls_record_set_timeout(session_, static_cast<unsigned>(timeoutMs));
        do {
            result = gnutls_handshake(session_);
        } while (result < 0 && !gnutls_error_is_fatal(result));
    }
    if (result < 0) {
        release();
        throw std::runtime_error(std::string("server TLS: ") + gnutls_strerror(result));
    }
}

ServerTls::~ServerTls() {
    release();
}

void ServerTls::release() {
    if (session_ != nullptr) gnutls_deinit(session_);
    if (credentials_ != nullptr) gnutls_certificate_free_credentials(credentials_);
    session_ = nullptr;
    credentials_ = nullptr;
}

bool ServerTls::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto sent = gnutls_record_send(session_, bytes.data(), bytes.size());
        if (sent == GNUTLS_E_AGAIN || sent == GNUTLS_E_INTERRUPTED) continue;
        if (sent < 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::string ServerTls::seal(std::string_view bytes) {
    std::string sealed;
    gnutls_transport_set_ptr2(session_, reinterpret_cast<gnutls_transport_ptr_t>(static_cast<std::intptr_t>(fd_)),
                              &sealed);
    gnutls_transport_set_push_function(session_, &pushIntoString);
    const bool whole = gnutls_record_send(session_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    gnutls_transport_set_int(session_, fd_);
    gnutls_transport_set_push_function(session_, &pushWithoutSignal);
    if (!whole) throw std::runtime_error("server TLS: record too large to seal");
    return sealed;
}

bool ServerTls::pending() const {
    return gnutls_record_check_pending(session_) > 0;
}

long ServerTls::receive(char* data, std::size_t size) {
    while (true) {
        const auto got = gnutls_record_recv(session_, data, size);
        if (got >= 0) return static_cast<long>(got);
        if (got == GNUTLS_E_PREMATURE_TERMINATION) return 0;
        if (got == GNUTLS_E_AGAIN || got == GNUTLS_E_INTERRUPTED) continue;
        return -1;
    }
}

void ServerTls::bye() {
    gnutls_bye(session_, GNUTLS_SHUT_WR);
}

}  // namespace quill::test
