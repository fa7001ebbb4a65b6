#include "ftp/ftp_errors.hpp"

#include "ftp/winsock_errors.hpp"

namespace quill::ftp {

namespace {

std::string socketErrorMessage(int winsockError) {
    return "Socket Error # " + std::to_string(winsockError) + "\r\n" + winsockErrorText(winsockError);
}

}  // namespace

ESocketError::ESocketError(int winsockError) : EFTPError(socketErrorMessage(winsockError)), errorCode_(winsockError) {}

ENotASocket::ENotASocket() : ESocketError(kWsaNotASocket) {}

void raiseSocketError(int winsockError) {
    if (winsockError == kWsaNotASocket) throw ENotASocket();
    throw ESocketError(winsockError);
}

void raiseErrno(int errorNumber) {
    raiseSocketError(winsockErrorFromErrno(errorNumber));
}

}  // namespace quill::ftp
