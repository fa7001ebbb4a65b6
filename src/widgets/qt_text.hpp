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
// Whether code page 1252 holds every character of the text.
bool fitsCp1252(const QString& text);

// A typed text as the settings file keeps it: code page 1252 when that holds
// every character; otherwise a UTF-8 byte-order mark and the UTF-8 bytes, so
// that a character outside the code page is not turned into "?" and comes
// back at the next start as typed, trimmed like every other value.
std::string toSettingsText(const QString& text);
QString fromSettingsText(std::string_view stored);

// A path or a found text for display: its own UTF-8, or, for bytes that are
// no UTF-8 (a server's file name, a page's text in code page 1252), the code
// page's characters.
QString displayText(std::string_view bytes);

// The characters as typed, for encodings that must not lose any of them.
std::u32string toCodePoints(const QString& text);

}  // namespace quill
