#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quill {

// The window boundary: controls hold QStrings, the program's texts are code
// page 1252 bytes.

// A character that 1252 cannot hold becomes "?".
std::string toCp1252(const QString& text);
QString fromCp1252(std::string_view text);

// The characters as typed, for encodings that must not lose any of them.
std::u32string toCodePoints(const QString& text);

}  // namespace quill
