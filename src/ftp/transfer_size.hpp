#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ftp/ftp_reply.hpp"

namespace quill::ftp {

// The size a SIZE reply (213 and a decimal number) gives.
std::optional<std::uint64_t> sizeFromSizeReply(const TFTPReply& reply);

// The size many servers announce in the reply that opens a transfer, as in
// "Opening BINARY mode data connection for a.html (1234 bytes)".
std::optional<std::uint64_t> sizeFromOpeningReply(const TFTPReply& reply);

}  // namespace quill::ftp
