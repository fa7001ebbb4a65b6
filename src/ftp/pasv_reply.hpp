#pragma once

#include <string_view>

#include "net/tcp_socket.hpp"

namespace quill::ftp {

// Reads the address and port of a PASV reply's first text line: the text in
// parentheses, or else the text after the last blank, as h1,h2,h3,h4,p1,p2.
// A field that is no integer raises ConvertError; a field outside 0-255, or
// port 0, RangeError.
SocketAddress parsePasvReply(std::string_view firstLine);

}  // namespace quill::ftp
