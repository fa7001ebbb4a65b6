#pragma once

#include <string>

#include "net/ftp_errors.hpp"

namespace quill::sftp {

// Base of every failure of the SFTP client. It shares the FTP client's base,
// so a remote run handles both protocols' failures alike.
class ESftpError : public ftp::EFTPError {
public:
    using EFTPError::EFTPError;
};

// The server answered a request with a failure status (SSH_FX_*).
class ESftpStatus : public ESftpError {
public:
    ESftpStatus(int status, const std::string& message) : ESftpError(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// A wait passed its bound; the connection is given up.
class ESftpTimeout : public ESftpError {
public:
    ESftpTimeout();
};

// The server's host key is neither known nor trusted, or differs from the one
// known for the host.
class EHostKeyRefused : public ESftpError {
public:
    using ESftpError::ESftpError;
};

// The user's words for an SFTP status code (SSH_FX_*).
std::string sftpStatusText(int status);

}  // namespace quill::sftp
