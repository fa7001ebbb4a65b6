#include "encoding/reference_decoding.hpp"

#include <cstdint>

#include "encoding/char_reference.hpp"
#include "text/integer_parse.hpp"

namespace quill {

void SplitAtDelimiter(std::string_view text, std::string_view delimiter, StringList& pieces) {
    pieces.clear();
    try {
        if (!delimiter.empty()) {
            for (auto at = text.find(delimiter); at != std::string_view::npos; at = text.find(delimiter)) {
                pieces.emplace_back(text.substr(0, at));
                text.remove_prefix(at + delimiter.size());
            }
        }
        pieces.emplace_back(text);
    } catch (const std::exception&) {
        // Never fails to its caller: the pieces added so far stay.
    }
}

std::string removeCrLfPairs(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        result += text[i];
    }
    return result;
}

std::string withMemoLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            result += "\r\n";
        } else {
            result += c;
        }
    }
    return result;
}

std::string decodeReferences(std::string_view text) {
    StringList pieces;
    SplitAtDelimiter(text, kReferenceStart, pieces);
    std::string result;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (pieces[i] == "|") break;
        const auto value = static_cast<std::uint32_t>(parseInteger(pieces[i]));
        result += static_cast<char>(value & 0xFFu);
    }
    return result;
}

}  // namespace quill
