#include "remote/server_address.hpp"

#include "text/cp1252.hpp"
#include "text/quill_error.hpp"

namespace quill::ftp {

namespace {

constexpr std::string_view kSftpScheme = "SFTP://";
constexpr std::string_view kFtpScheme = "FTP://";

bool startsWithScheme(std::string_view field, std::string_view scheme) {
    return field.size() >= scheme.size() && toUpper1252(field.substr(0, scheme.size())) == scheme;
}

[[noreturn]] void refuse(const std::string& field, const std::string& why) {
    throw QuillError("Das Feld FTP-Server enthält \"" + cp1252ToUtf8(field) + "\": " + why);
}

}  // namespace

bool selectsSftp(std::string_view field) {
    return startsWithScheme(field, kSftpScheme);
}

ServerAddress parseServerAddress(const std::string& field) {
    ServerAddress address;
    std::string_view rest;
    if (selectsSftp(field)) {
        address.protocol = RemoteProtocol::Sftp;
        address.port = 22;
        rest = std::string_view(field).substr(kSftpScheme.size());
    } else if (startsWithScheme(field, kFtpScheme)) {
        rest = std::string_view(field).substr(kFtpScheme.size());
    } else {
        address.host = field;
        return address;
    }
    if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
    if (rest.find('/') != std::string_view::npos) refuse(field, "Der Ordner gehört in das Feld Datenverzeichnis.");
    if (const auto colon = rest.rfind(':'); colon != std::string_view::npos) {
        const std::string_view digits = rest.substr(colon + 1);
        unsigned long port = 0;
        for (const char c : digits) port = c >= '0' && c <= '9' && port <= 65535 ? port * 10 + (c - '0') : 70000;
        if (digits.empty() || port < 1 || port > 65535) refuse(field, "Der Port muss eine Zahl von 1 bis 65535 sein.");
        address.port = static_cast<std::uint16_t>(port);
        address.portGiven = true;
        rest = rest.substr(0, colon);
    }
    if (rest.empty()) refuse(field, "Es fehlt der Name des Servers.");
    address.host = std::string(rest);
    return address;
}

}  // namespace quill::ftp
