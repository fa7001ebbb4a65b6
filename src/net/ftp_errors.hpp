#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "text/quill_error.hpp"

namespace quill::ftp {

// Base of every failure of the FTP client.
class EFTPError : public QuillError {
public:
    using QuillError::QuillError;
};

// A reply outside the allowed codes; the message is the reply's text.
class EReplyError : public EFTPError {
public:
    EReplyError(int code, const std::string& message) : EFTPError(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// A failing socket call: "Socket Error # %d\r\n%s".
class ESocketError : public EFTPError {
public:
    explicit ESocketError(int winsockError);
    int errorCode() const { return errorCode_; }

private:
    int errorCode_;
};

class ENotASocket : public ESocketError {
public:
    ENotASocket();
};

#define QUILL_FTP_SIMPLE_ERROR(Name, Text) \
    class Name : public EFTPError {        \
    public:                                \
        Name() : EFTPError(Text) {}        \
    }

QUILL_FTP_SIMPLE_ERROR(EAlreadyConnected, "Already connected.");
QUILL_FTP_SIMPLE_ERROR(ENotConnected, "Not connected.");
QUILL_FTP_SIMPLE_ERROR(EConnClosedGracefully, "Connection Closed Gracefully.");
QUILL_FTP_SIMPLE_ERROR(EMaxLineLengthExceeded, "Max line length exceeded.");
QUILL_FTP_SIMPLE_ERROR(EReadTimeout, "Read Timeout");
QUILL_FTP_SIMPLE_ERROR(EConnectTimeout, "Connect timed out.");
QUILL_FTP_SIMPLE_ERROR(ECouldNotBindSocket, "Could not bind socket. Address and port are already in use.");
QUILL_FTP_SIMPLE_ERROR(ENoDataToRead, "No data to read.");
QUILL_FTP_SIMPLE_ERROR(EFileAlreadyExists, "Destination file already exists.");
QUILL_FTP_SIMPLE_ERROR(EUploadFileNameEmpty, "The destination filename can not be empty");

#undef QUILL_FTP_SIMPLE_ERROR

// A reply code that is neither blank nor 100-999.
class EInvalidReplyCode : public EFTPError {
public:
    explicit EInvalidReplyCode(const std::string& code) : EFTPError("Reply Code is not valid: " + code) {}
};

// A download whose byte count, announced beforehand, differs from what arrived.
class ETransferIncomplete : public EFTPError {
public:
    ETransferIncomplete(const std::string& remoteName, std::uint64_t received, std::uint64_t announced);
};

// An upload that the server keeps with another size than was sent.
class EUploadIncomplete : public EFTPError {
public:
    EUploadIncomplete(const std::string& remoteName, std::uint64_t sent, std::uint64_t stored);
};

// A name list that outgrows what the client holds.
class EListingTooLarge : public EFTPError {
public:
    explicit EListingTooLarge(std::size_t limit);
};

// One name of a list longer than the limit; the text shows its beginning.
class ENameTooLong : public EFTPError {
public:
    ENameTooLong(const std::string& name, std::size_t limit);
};

// Throws the socket error for a Windows Sockets number (ENotASocket for 10038).
[[noreturn]] void raiseSocketError(int winsockError);

// Throws the socket error for the errno value of a failed call.
[[noreturn]] void raiseErrno(int errorNumber);

}  // namespace quill::ftp
