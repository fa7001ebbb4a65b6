#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::ftp {

enum class RemoteProtocol { Ftp, Sftp };

// Where the field "FTP-Server" points: "sftp://host[:port]" is SFTP (port
// 22 unless given), "ftp://host[:port]" FTP (port 21 unless given), and
// anything else FTP to the text as typed, port 21. The scheme's letter case
// does not matter; one final "/" is allowed.
struct ServerAddress {
    RemoteProtocol protocol = RemoteProtocol::Ftp;
    std::string host;
    std::uint16_t port = 21;
    bool portGiven = false;  // the field named the port
};

// Raises QuillError with a German message for a scheme without a host, a
// path after the host, or a port that is not 1-65535.
ServerAddress parseServerAddress(const std::string& field);

// Whether the field selects SFTP, as the page sees it while it is typed.
bool selectsSftp(std::string_view field);

}  // namespace quill::ftp
