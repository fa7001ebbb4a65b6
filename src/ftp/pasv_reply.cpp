#include "ftp/pasv_reply.hpp"

#include <cstdint>
#include <vector>

#include "ftp/ftp_reply.hpp"
#include "text/integer_parse.hpp"
#include "text/quill_error.hpp"

namespace quill::ftp {

namespace {

std::vector<std::string_view> splitAtCommas(std::string_view text) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

SocketAddress parsePasvReply(std::string_view firstLine) {
    std::string_view line = trimBlanks(firstLine);
    const auto open = line.find('(');
    const auto close = line.find(')');
    std::string_view kept;
    if (open != std::string_view::npos && close != std::string_view::npos) {
        kept = close > open ? line.substr(open + 1, close - open - 1) : std::string_view();
    } else {
        const auto blank = line.rfind(' ');
        kept = blank == std::string_view::npos ? line : line.substr(blank + 1);
    }

    auto fields = splitAtCommas(kept);
    fields.resize(std::max<std::size_t>(fields.size(), 6));
    SocketAddress result;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0) result.host += '.';
        result.host += fields[i];
    }
    const std::int64_t port =
        std::int64_t{parseInteger(fields[4])} * 256 + std::int64_t{parseInteger(trimBlanks(fields[5]))};
    if (port < 0 || port > 65535) throw RangeError("Fehler bei Bereichsprüfung");
    result.port = static_cast<std::uint16_t>(port);
    return result;
}

}  // namespace quill::ftp
