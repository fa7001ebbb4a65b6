#include "text/hex_text.hpp"

namespace quill {

std::string hexText(const unsigned char* bytes, std::size_t size, HexLetters letters) {
    const char* digits = letters == HexLetters::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    text.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace quill
