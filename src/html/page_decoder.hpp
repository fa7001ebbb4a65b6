#pragma once

#include <cstddef>
#include <string_view>

#include "html/page_charset.hpp"

namespace quill {

// Reads a page's bytes as the characters of its encoding, and says which
// code a reference to a character takes there.
class PageDecoder {
public:
    explicit PageDecoder(const PageEncoding& encoding);
    explicit PageDecoder(PageCharset charset);  // Windows1252 or Utf8
    ~PageDecoder();
    PageDecoder(const PageDecoder&) = delete;
    PageDecoder& operator=(const PageDecoder&) = delete;

    // False for an encoding iconv cannot read here: such a page is left as it is.
    bool readable() const;
    PageCharset charset() const { return charset_; }

    // The character that begins at text[at] and its length in bytes; second
    // is 0 unless the bytes stand for two characters. 0 when the bytes there
    // form no character of the encoding.
    std::size_t decodeAt(std::string_view text, std::size_t at, char32_t& first, char32_t& second) const;

    // The code a reference to the character takes: its 1252 value in a 1252
    // page when 1252 holds it, else its code point.
    unsigned long referenceCode(char32_t character) const;
    // What stands in for a byte that forms no character: in a UTF-8 page its
    // value (as it always has), elsewhere U+FFFD, which a browser shows there.
    unsigned long referenceForStrayByte(unsigned char byte) const;

private:
    std::size_t decodeByIconv(std::string_view text, std::size_t at, char32_t& first, char32_t& second) const;

    PageCharset charset_;
    void* iconv_ = nullptr;  // iconv_t; (void*)-1 when it cannot be opened
};

}  // namespace quill
