#pragma once

#include <cstddef>
#include <string>

namespace quill {

enum class HexLetters { Upper, Lower };

// Two hex digits a byte, in the letter case the stored form wants.
std::string hexText(const unsigned char* bytes, std::size_t size, HexLetters letters);

}  // namespace quill
