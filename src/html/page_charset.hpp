#pragma once

#include <string>
#include <string_view>
#include <tuple>

namespace quill {

// The character encoding a browser reads a page in: UTF-8, code page 1252
// (which browsers also take for ISO-8859-1 and ASCII), or another one that
// glibc's iconv reads.
enum class PageCharset { Windows1252, Utf8, Other };

struct PageEncoding {
    PageCharset charset = PageCharset::Windows1252;
    std::string name;       // as browsers name it: "windows-1252", "UTF-8", "Shift_JIS"
    std::string iconvName;  // Other: the name iconv reads it by; empty when iconv cannot
    bool xml = false;       // an XML document, whose references all need ";"

    bool operator<(const PageEncoding& other) const {
        return std::tie(charset, name, xml) < std::tie(other.charset, other.name, other.xml);
    }
};

// Decided as a browser decides it: a byte-order mark; for an XML document the
// encoding its XML declaration names; a <meta charset> or http-equiv
// content-type declaration within the first 1024 bytes whose label browsers
// know (one naming UTF-16 means UTF-8); else UTF-8 when the text is valid
// UTF-8 and not all ASCII; else windows-1252.
PageEncoding detectPageEncoding(std::string_view fileBytes, std::string_view fileName = {});
PageCharset detectPageCharset(std::string_view fileBytes);

// A file that begins, after a byte-order mark and white space, with "<?xml",
// or whose name ends in ".xhtml" or ".xht".
bool isXmlDocument(std::string_view fileBytes, std::string_view fileName);

// Valid UTF-8 holding at least one non-ASCII byte.
bool isUtf8WithNonAscii(std::string_view text);

}  // namespace quill
