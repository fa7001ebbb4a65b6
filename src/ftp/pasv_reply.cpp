#include "ftp/pasv_reply.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
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
    fields[5] = trimBlanks(fields[5]);
    // Each field is one byte; anything else, or port 0, is no address to use.
    int values[6] = {};
    // The port fields first: their errors are the ones a garbled reply shows.
    for (std::size_t i : {4, 5, 0, 1, 2, 3}) {
        values[i] = parseInteger(fields[i]);
        if (values[i] < 0 || values[i] > 255) throw RangeError("Fehler bei Bereichsprüfung");
    }
    SocketAddress result;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0) result.host += '.';
        result.host += std::to_string(values[i]);
    }
    result.port = static_cast<std::uint16_t>(values[4] * 256 + values[5]);
    if (result.port == 0) throw RangeError("Fehler bei Bereichsprüfung");
    return result;
}

}  // namespace quill::ftp
