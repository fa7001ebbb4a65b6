#include "net/ftp_errors.hpp"

#include "net/winsock_errors.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

std::string socketErrorMessage(int winsockError) {
    return "Socket Error # " + std::to_string(winsockError) + "\r\n" + winsockErrorText(winsockError);
}

// How much of an over-long name an error text shows.
constexpr std::size_t kShownNameBytes = 100;

}  // namespace

ETransferIncomplete::ETransferIncomplete(const std::string& remoteName, std::uint64_t received, std::uint64_t announced)
    : EFTPError("Die Datei \"" + cp1252ToUtf8(remoteName) + "\" wurde nicht richtig übertragen: " +
                std::to_string(received) + " Bytes angekommen, " + std::to_string(announced) + " Bytes angekündigt.") {}

EUploadIncomplete::EUploadIncomplete(const std::string& remoteName, std::uint64_t sent, std::uint64_t stored)
    : EFTPError("Die Datei \"" + cp1252ToUtf8(remoteName) +
                "\" wurde nicht richtig übertragen: " + std::to_string(sent) + " Bytes gesendet, " +
                std::to_string(stored) + " Bytes auf dem Server angekommen.") {}

EListingTooLarge::EListingTooLarge(std::size_t limit)
    : EFTPError("Die Namensliste des Servers ist größer als " + std::to_string(limit >> 20) +
                " MiB und wird nicht gelesen.") {}

ENameTooLong::ENameTooLong(const std::string& name, std::size_t limit)
    : EFTPError("Die Namensliste des Servers enthält einen Namen, der länger als " + std::to_string(limit) +
                " Bytes ist: \"" + cp1252ToUtf8(name.substr(0, kShownNameBytes)) + "...\"") {}

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
