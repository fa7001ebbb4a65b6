#include "ftp/transfer_size.hpp"

#include <charconv>
#include <string_view>

#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

// Only digits, the whole text.
std::optional<std::uint64_t> decimal(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::uint64_t> sizeFromSizeReply(const TFTPReply& reply) {
    if (reply.NumericCode != 213 || reply.Text.empty()) return std::nullopt;
    return decimal(trimBlanks(reply.Text.front()));
}

std::optional<std::uint64_t> sizeFromOpeningReply(const TFTPReply& reply) {
    for (const auto& line : reply.Text) {
        const std::string upper = toUpper1252(line);
        const auto end = upper.find(" BYTES)");
        if (end == std::string::npos) continue;
        const auto open = upper.rfind('(', end);
        if (open == std::string::npos) continue;
        if (const auto size = decimal(std::string_view(upper).substr(open + 1, end - open - 1))) return size;
    }
    return std::nullopt;
}

}  // namespace quill::ftp
