#pragma once

#include <string_view>

namespace quill {

// The character encoding a browser reads a page in, as far as it matters
// here: UTF-8, or the code page 1252 every other page is treated as.
enum class PageCharset { Windows1252, Utf8 };

// A UTF-8 byte-order mark; else a <meta charset> or http-equiv content-type
// declaration within the first 1024 bytes (UTF-8 when it names UTF-8);
// else, when nothing is declared, text that is valid UTF-8 and not all ASCII.
PageCharset detectPageCharset(std::string_view fileBytes);

// Valid UTF-8 holding at least one non-ASCII byte.
bool isUtf8WithNonAscii(std::string_view text);

}  // namespace quill
