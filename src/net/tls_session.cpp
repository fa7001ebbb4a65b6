#include "net/tls_session.hpp"

#include <arpa/inet.h>
#include <gnutls/x509.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "text/cp1252.hpp"
#include "text/hex_text.hpp"

namespace quill::ftp {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kHandshakeFailed = "Die verschlüsselte Verbindung konnte nicht aufgebaut werden: ";
constexpr const char* kConnectionFailed = "Fehler in der verschlüsselten Verbindung: ";
// Older versions have known weaknesses; whatever the system allows, they are not offered.
constexpr const char* kPriorities = "NORMAL:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2";
constexpr std::size_t kServerStartBytes = 11;

// The version a server chose below TLS 1.2, read from the start of its first
// record (a ServerHello or a protocol-version alert); empty when it did not.
std::string olderVersionMessage(const std::string& start) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(start[i]); };
    if (start.size() >= 7 && byte(0) == 0x15 && byte(6) == 70)
        return "Der Server beherrscht weder TLS 1.2 noch TLS 1.3. Verlangt wird TLS 1.2 oder neuer.";
    if (start.size() < kServerStartBytes || byte(0) != 0x16 || byte(5) != 0x02 || byte(9) != 0x03) return {};
    const char* names[] = {"SSL 3.0", "TLS 1.0", "TLS 1.1"};
    if (byte(10) > 2) return {};
    return std::string("Der Server bietet nur ") + names[byte(10)] + " an. Verlangt wird TLS 1.2 oder neuer.";
}

// The system's trusted authorities, loaded once and shared by every session.
gnutls_certificate_credentials_t systemTrust() {
    static const auto credentials = [] {
        gnutls_certificate_credentials_t loaded = nullptr;
        if (gnutls_certificate_allocate_credentials(&loaded) < 0) return loaded;
        // Without any authority every certificate leads to the question,
        // which is still safe.
        gnutls_certificate_set_x509_system_trust(loaded);
        return loaded;
    }();
    if (credentials == nullptr) throw ETlsError(std::string(kHandshakeFailed) + gnutls_strerror(GNUTLS_E_MEMORY_ERROR));
    return credentials;
}

bool isIpAddress(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 || ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

std::string verificationProblem(unsigned status, const std::string& host) {
    if (status == 0) return {};
    struct Reason {
        unsigned flag;
        std::string text;
    };
    const Reason reasons[] = {
        {GNUTLS_CERT_SIGNER_NOT_FOUND,
         "Das Zertifikat ist von keiner vertrauenswürdigen Stelle ausgestellt (zum Beispiel selbst signiert)."},
        {GNUTLS_CERT_SIGNER_NOT_CA, "Der Aussteller des Zertifikats ist keine Zertifizierungsstelle."},
        {GNUTLS_CERT_UNEXPECTED_OWNER, "Das Zertifikat gilt nicht für den Server \"" + cp1252ToUtf8(host) + "\"."},
        {GNUTLS_CERT_EXPIRED, "Das Zertifikat ist abgelaufen."},
        {GNUTLS_CERT_NOT_ACTIVATED, "Das Zertifikat ist noch nicht gültig."},
        {GNUTLS_CERT_REVOKED, "Das Zertifikat wurde widerrufen."},
        {GNUTLS_CERT_INSECURE_ALGORITHM, "Das Zertifikat ist mit einem unsicheren Verfahren unterschrieben."},
    };
    std::string text;
    unsigned explained = 0;
    for (const auto& reason : reasons) {
        if ((status & reason.flag) == 0) continue;
        explained |= reason.flag;
        if (!text.empty()) text += "\r\n";
        text += reason.text;
    }
    if ((status & ~(explained | GNUTLS_CERT_INVALID)) != 0 || text.empty()) {
        gnutls_datum_t printed{};
        if (gnutls_certificate_verification_status_print(status, GNUTLS_CRT_X509, &printed, 0) >= 0) {
            if (!text.empty()) text += "\r\n";
            text.append(reinterpret_cast<const char*>(printed.data), printed.size);
            gnutls_free(printed.data);
        }
    }
    return text;
}

}  // namespace

TlsSession::TlsSession(TcpSocket socket, const TlsParameters& parameters)
    : socket_(std::move(socket)), host_(parameters.host), waitMs_(parameters.waitMs) {
    const auto credentials = systemTrust();
    int result = gnutls_init(&session_, GNUTLS_CLIENT);
    if (result < 0) {
        session_ = nullptr;
        throw ETlsError(std::string(kHandshakeFailed) + gnutls_strerror(result));
    }
    try {
        if ((result = gnutls_priority_set_direct(session_, kPriorities, nullptr)) < 0 ||
            (result = gnutls_credentials_set(session_, GNUTLS_CRD_CERTIFICATE, credentials)) < 0)
            throw ETlsError(std::string(kHandshakeFailed) + gnutls_strerror(result));
        // A server name is a DNS name; an address is never sent as one.
        if (!host_.empty() && !isIpAddress(host_))
            gnutls_server_name_set(session_, GNUTLS_NAME_DNS, host_.data(), host_.size());
        if (!parameters.resumeData.empty())
            gnutls_session_set_data(session_, parameters.resumeData.data(), parameters.resumeData.size());
        gnutls_transport_set_ptr(session_, this);
        gnutls_transport_set_push_function(session_, &TlsSession::push);
        gnutls_transport_set_pull_function(session_, &TlsSession::pull);
        gnutls_transport_set_pull_timeout_function(session_, &TlsSession::pullTimeout);

        // The whole handshake, not each wait, stays within the bound.
        if (waitMs_ != kWaitForever) deadline_ = Clock::now() + std::chrono::milliseconds(waitMs_);
        do {
            result = gnutls_handshake(session_);
        } while (result < 0 && !gnutls_error_is_fatal(result) && !failure_);
        deadline_.reset();
        if (result < 0) {
            const std::string old = olderVersionMessage(serverFirstBytes_);
            if (!old.empty()) throw ETlsError(kHandshakeFailed + old);
            fail(result, kHandshakeFailed);
        }
    } catch (...) {
        gnutls_deinit(session_);
        session_ = nullptr;
        throw;
    }
}

TlsSession::~TlsSession() {
    if (session_ != nullptr) gnutls_deinit(session_);
}

int TlsSession::currentWait() const {
    if (!deadline_) return waitMs_;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - Clock::now()).count();
    // kWaitForever is 0, so a spent deadline must still wait a little.
    return static_cast<int>(std::max<long long>(left, 1));
}

ssize_t TlsSession::push(gnutls_transport_ptr_t self, const void* data, std::size_t size) {
    auto& session = *static_cast<TlsSession*>(self);
    try {
        if (session.deadline_ && Clock::now() >= *session.deadline_) throw EReadTimeout();
        if (session.roomWaitMs_) {
            const std::size_t sent =
                session.socket_.sendSome(std::string_view(static_cast<const char*>(data), size), *session.roomWaitMs_);
            if (sent > 0) return static_cast<ssize_t>(sent);
            gnutls_transport_set_errno(session.session_, EAGAIN);
            return -1;
        }
        if (!session.socket_.sendAll(std::string_view(static_cast<const char*>(data), size), session.currentWait()))
            throw EConnClosedGracefully();
        return static_cast<ssize_t>(size);
    } catch (...) {
        session.failure_ = std::current_exception();
        gnutls_transport_set_errno(session.session_, EIO);
        return -1;
    }
}

ssize_t TlsSession::pull(gnutls_transport_ptr_t self, void* data, std::size_t size) {
    auto& session = *static_cast<TlsSession*>(self);
    try {
        if (session.noWait_) {
            if (!session.socket_.readableNow()) {
                gnutls_transport_set_errno(session.session_, EAGAIN);
                return -1;
            }
        } else if (session.bound_ != nullptr) {
            return static_cast<ssize_t>(session.socket_.receive(static_cast<char*>(data), size, *session.bound_));
        } else if (!session.socket_.waitReadable(session.currentWait())) {
            throw EReadTimeout();
        }
        const std::size_t got = session.socket_.receive(static_cast<char*>(data), size);
        auto& start = session.serverFirstBytes_;
        if (start.size() < kServerStartBytes)
            start.append(static_cast<const char*>(data), std::min(got, kServerStartBytes - start.size()));
        return static_cast<ssize_t>(got);
    } catch (...) {
        session.failure_ = std::current_exception();
        gnutls_transport_set_errno(session.session_, EIO);
        return -1;
    }
}

int TlsSession::pullTimeout(gnutls_transport_ptr_t self, unsigned int ms) {
    auto& session = *static_cast<TlsSession*>(self);
    try {
        int wait = session.currentWait();
        if (ms != GNUTLS_INDEFINITE_TIMEOUT && (wait == kWaitForever || static_cast<int>(ms) < wait))
            wait = std::max(static_cast<int>(ms), 1);
        return session.socket_.waitReadable(wait) ? 1 : 0;
    } catch (...) {
        return -1;
    }
}

void TlsSession::fail(int code, const char* prefix) {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    throw ETlsError(std::string(prefix) + gnutls_strerror(code));
}

PeerCertificate TlsSession::peerCertificate() const {
    unsigned count = 0;
    const gnutls_datum_t* chain = gnutls_certificate_get_peers(session_, &count);
    if (chain == nullptr || count == 0)
        throw ETlsError(std::string(kHandshakeFailed) + "Der Server hat kein Zertifikat gezeigt.");
    unsigned char digest[32];
    std::size_t digestSize = sizeof digest;
    if (gnutls_fingerprint(GNUTLS_DIG_SHA256, &chain[0], digest, &digestSize) < 0)
        throw ETlsError(std::string(kHandshakeFailed) + "Der Fingerabdruck des Zertifikats ist nicht lesbar.");

    // An address is checked against the certificate's addresses, a name against its names.
    gnutls_typed_vdata_st checks[] = {
        {GNUTLS_DT_DNS_HOSTNAME, reinterpret_cast<unsigned char*>(const_cast<char*>(host_.c_str())), 0},
        {GNUTLS_DT_KEY_PURPOSE_OID, reinterpret_cast<unsigned char*>(const_cast<char*>(GNUTLS_KP_TLS_WWW_SERVER)), 0},
    };
    unsigned status = 0;
    const int result = gnutls_certificate_verify_peers(session_, checks, 2, &status);
    if (result < 0) status = GNUTLS_CERT_INVALID | GNUTLS_CERT_SIGNER_NOT_FOUND;
    return {hexText(digest, digestSize, HexLetters::Upper), verificationProblem(status, host_)};
}

std::string TlsSession::sessionData() const {
    gnutls_datum_t data{};
    if (gnutls_session_get_data2(session_, &data) < 0) return {};
    std::string bytes(reinterpret_cast<const char*>(data.data), data.size);
    gnutls_free(data.data);
    return bytes;
}

bool TlsSession::resumed() const {
    return gnutls_session_is_resumed(session_) != 0;
}

bool TlsSession::sendAll(std::string_view bytes, int timeoutMs) {
    // Each wait keeps the session's own bound: a partly sent record cannot be taken back.
    (void)timeoutMs;
    while (!bytes.empty()) {
        const ssize_t sent = gnutls_record_send(session_, bytes.data(), bytes.size());
        if (sent == GNUTLS_E_AGAIN || sent == GNUTLS_E_INTERRUPTED) {
            if (failure_) fail(static_cast<int>(sent), kConnectionFailed);
            continue;
        }
        if (sent < 0) {
            if (failure_) {
                try {
                    std::rethrow_exception(std::exchange(failure_, nullptr));
                } catch (const EConnClosedGracefully&) {
                    return false;
                }
            }
            fail(static_cast<int>(sent), kConnectionFailed);
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::size_t TlsSession::sendSome(std::string_view bytes, int timeoutMs) {
    constexpr std::size_t kRecordSize = 16384;
    roomWaitMs_ = timeoutMs;
    const ssize_t sent = gnutls_record_send(session_, bytes.data(), std::min(bytes.size(), kRecordSize));
    roomWaitMs_.reset();
    if (sent >= 0) return static_cast<std::size_t>(sent);
    if (failure_ || (sent != GNUTLS_E_AGAIN && sent != GNUTLS_E_INTERRUPTED))
        fail(static_cast<int>(sent), kConnectionFailed);
    return 0;
}

bool TlsSession::hasBuffered() {
    return !ready_.empty() || ended_ || gnutls_record_check_pending(session_) > 0;
}

bool TlsSession::readableNow() {
    if (hasBuffered()) return true;
    if (!socket_.readableNow()) return false;
    // What arrived may be only part of a record, or no data at all (a new
    // session ticket): look without waiting for the rest.
    char piece[16384];
    noWait_ = true;
    std::optional<std::size_t> got;
    try {
        got = receiveRecord(piece, sizeof piece);
    } catch (...) {
        noWait_ = false;
        throw;
    }
    noWait_ = false;
    if (!got) return false;
    if (*got == 0) return true;
    ready_.append(piece, *got);
    return true;
}

std::size_t TlsSession::receive(char* data, std::size_t size, ReceiveBound& bound) {
    if (!ready_.empty()) {
        const std::size_t taken = std::min(size, ready_.size());
        std::copy_n(ready_.data(), taken, data);
        ready_.erase(0, taken);
        return taken;
    }
    struct Using {
        ReceiveBound*& slot;
        ~Using() { slot = nullptr; }
    } using_{bound_};
    bound_ = &bound;
    while (true) {
        if (const auto got = receiveRecord(data, size)) return *got;
    }
}

// Nothing when no whole record is there without waiting (only while noWait_).
std::optional<std::size_t> TlsSession::receiveRecord(char* data, std::size_t size) {
    if (ended_) return 0;
    while (true) {
        const ssize_t got = gnutls_record_recv(session_, data, size);
        if (got >= 0) {
            if (got == 0) ended_ = true;
            return static_cast<std::size_t>(got);
        }
        if (got == GNUTLS_E_PREMATURE_TERMINATION) {
            // Only the final reply and the byte count can vouch for what came.
            ended_ = true;
            return 0;
        }
        if (failure_) fail(static_cast<int>(got), kConnectionFailed);
        if (got == GNUTLS_E_AGAIN) {
            if (noWait_) return std::nullopt;
            continue;
        }
        // A client does not renegotiate; the server may go on without it.
        if (got == GNUTLS_E_INTERRUPTED || got == GNUTLS_E_REHANDSHAKE || !gnutls_error_is_fatal(static_cast<int>(got)))
            continue;
        fail(static_cast<int>(got), kConnectionFailed);
    }
}

void TlsSession::close() {
    sendCloseAlert();
    socket_.close();
}

void TlsSession::sendCloseAlert() {
    if (session_ != nullptr && socket_.isOpen() && !closeAlertSent_) {
        closeAlertSent_ = true;
        if (waitMs_ != kWaitForever) deadline_ = Clock::now() + std::chrono::milliseconds(waitMs_);
        int result = 0;
        do {
            result = gnutls_bye(session_, GNUTLS_SHUT_WR);
        } while (result < 0 && !gnutls_error_is_fatal(result) && !failure_);
        failure_ = nullptr;
        deadline_.reset();
    }
}

}  // namespace quill::ftp
