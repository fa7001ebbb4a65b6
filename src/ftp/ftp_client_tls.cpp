// The explicit TLS steps of TFTPClient.
#include "ftp/data_connection.hpp"
#include "ftp/ftp_client.hpp"
#include "net/tls_errors.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

void TFTPClient::startControlTls() {
    if (SendCommand("AUTH TLS") != 234) {
        std::string text;
        for (const auto& line : lastReply_.Text) text += (text.empty() ? "" : "\r\n") + line;
        throw ETlsRefused(cp1252ToUtf8(text));
    }
    // Clear text after the 234 would be read as if it came through TLS.
    if (!input_.empty())
        throw ETlsError(
            "Die verschlüsselte Verbindung konnte nicht aufgebaut werden: Der Server hat nach "
            "AUTH TLS unverschlüsselte Daten gesendet.");
    control_.startTls({Host, ReadTimeout, {}});
    const PeerCertificate certificate = control_.tls()->peerCertificate();
    if (!certificate.problem.empty() && !(TrustCertificate && TrustCertificate(Host, certificate)))
        throw ECertificateRejected();
    certificateFingerprint_ = certificate.fingerprint;
}

void TFTPClient::protectDataConnections() {
    SendCommand("PBSZ 0", {200});
    SendCommand("PROT P", {200});
}

void TFTPClient::startDataTls(DataConnection& data) {
    if (control_.tls() == nullptr) return;
    data.startTls({Host, TransferTimeout, control_.tls()->sessionData()}, certificateFingerprint_);
}

}  // namespace quill::ftp
