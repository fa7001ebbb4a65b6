#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quill {

// The strict integer parse: leading blanks, an optional sign, then decimal
// digits within the signed 32-bit range, or hexadecimal digits (value up to
// 32 bits) after "$", "x", "X", "0x" or "0X". Nothing may follow.
std::optional<std::int32_t> tryParseInteger(std::string_view text);

// As above; a text that is not an integer raises ConvertError
// "'%s' ist kein gültiger Integerwert" (the text is code page 1252).
std::int32_t parseInteger(std::string_view text);

}  // namespace quill
