#include "encoding/reference_decoding.hpp"

#include <cstdint>

#include "html/char_reference.hpp"
#include "text/cp1252.hpp"
#include "text/integer_parse.hpp"

namespace quill {

namespace {

// Codes up to 255 (and, by their low 8 bits, negative ones) are code page
// 1252 bytes; higher ones are what a browser reads: Unicode characters.
char32_t characterOfCode(std::int32_t code) {
    if (code <= 0xFF) return cp1252ToUnicode(static_cast<unsigned char>(static_cast<std::uint32_t>(code) & 0xFFu));
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFD;
    return static_cast<char32_t>(code);
}

}  // namespace

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

std::u32string decodeReferences(std::string_view text) {
    StringList pieces;
    SplitAtDelimiter(text, kReferenceStart, pieces);
    std::u32string result;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (pieces[i] == "|") break;
        std::string_view piece = pieces[i];
        if (!piece.empty() && piece.back() == ';') piece.remove_suffix(1);
        const auto value = tryParseInteger(piece);
        if (!value) parseInteger(pieces[i]);  // raises the error naming the whole piece
        result += characterOfCode(*value);
    }
    return result;
}

}  // namespace quill
