#pragma once

#include <cstddef>
#include <string>

namespace quill {

enum class HexLetters { Upper, Lower };

// Two hex digits a byte, in the letter case the stored form wants.
std::string hexText(const unsigned char* bytes, std::size_t size, HexLetters letters);

// The value of a hex digit in either letter case, or -1.
int hexDigitValue(char c);

}  // namespace quill
