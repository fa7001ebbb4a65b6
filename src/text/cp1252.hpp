#pragma once

#include <string>
#include <string_view>

namespace quill {

// Code page 1252 is the encoding of every text the program works on; Unicode
// (UTF-8) is used only for file names, messages and the window boundary.

char32_t cp1252ToUnicode(unsigned char byte);

// The byte for a code point, or nothing when 1252 cannot hold it.
bool unicodeToCp1252(char32_t codePoint, unsigned char& byte);

std::string cp1252ToUtf8(std::string_view text);

// Text that may be either: valid UTF-8 stays, anything else is taken as 1252.
std::string utf8OrCp1252ToUtf8(std::string_view text);

// A character that 1252 cannot hold (or malformed UTF-8) becomes "?".
std::string utf8ToCp1252(std::string_view text);

// Decodes UTF-8 into code points; malformed sequences become U+FFFD.
std::u32string utf8ToCodePoints(std::string_view text);
// The code point of the UTF-8 sequence at text[at] and its length in bytes;
// 0 (and U+FFFD) for a malformed, overlong or cut-off sequence, a surrogate
// or a value past U+10FFFF. at must be in range.
std::size_t decodeUtf8At(std::string_view text, std::size_t at, char32_t& codePoint);
std::string codePointsToUtf8(std::u32string_view codePoints);

// The ANSI upper-case mapping: a-z, š, œ, ž, ÿ and à-þ except ÷.
unsigned char toUpper1252(unsigned char byte);
std::string toUpper1252(std::string_view text);

}  // namespace quill
