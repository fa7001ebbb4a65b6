#pragma once

#include <functional>
#include <string>

#include "net/tls_session.hpp"

namespace quill::ftp {

// The certificates the user chose to trust, one fingerprint per host, in the
// settings file's section "FTP-Zertifikate". The trust it gives accepts a
// certificate whose fingerprint is stored for its host without a question;
// any other one is put to ask (true: "Ja"), and a "Ja" stores its
// fingerprint, replacing the one before.
CertificateTrust pinnedCertificateTrust(std::function<bool(const std::string& question)> ask);

// The question about a certificate (UTF-8); changed warns that another one
// was trusted for this host before.
std::string certificateQuestion(const std::string& host, const PeerCertificate& certificate, bool changed);

}  // namespace quill::ftp
