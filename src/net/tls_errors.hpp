#pragma once

#include <string>

#include "net/ftp_errors.hpp"

namespace quill::ftp {

// A failure of the encrypted connection; the message is what the user sees.
class ETlsError : public EFTPError {
public:
    using EFTPError::EFTPError;
};

// The server answered "AUTH TLS" with something other than 234.
class ETlsRefused : public ETlsError {
public:
    explicit ETlsRefused(const std::string& replyText)
        : ETlsError("Der Server bietet keine verschlüsselte Verbindung an: " + replyText) {}
};

// The user did not trust a certificate that the system does not vouch for.
class ECertificateRejected : public ETlsError {
public:
    ECertificateRejected()
        : ETlsError(
              "Dem Zertifikat des Servers wird nicht vertraut. Die Verbindung wurde beendet, "
              "ohne dass Anmeldedaten gesendet wurden.") {}
};

}  // namespace quill::ftp
