#include "html/page_decoder.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "html/char_reference.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

const auto kNoConverter = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
constexpr char32_t kReplacementCharacter = 0xFFFD;
// No character of the encodings read here is longer.
constexpr std::size_t kLongestCharacter = 4;

char32_t fromLittleEndian(const unsigned char* bytes) {
    return static_cast<char32_t>(bytes[0]) | static_cast<char32_t>(bytes[1]) << 8 |
           static_cast<char32_t>(bytes[2]) << 16 | static_cast<char32_t>(bytes[3]) << 24;
}

}  // namespace

PageDecoder::PageDecoder(const PageEncoding& encoding) : charset_(encoding.charset) {
    if (charset_ != PageCharset::Other) return;
    iconv_ = encoding.iconvName.empty() ? kNoConverter
                                        : static_cast<void*>(::iconv_open("UTF-32LE", encoding.iconvName.c_str()));
}

PageDecoder::PageDecoder(PageCharset charset) : charset_(charset) {}

PageDecoder::~PageDecoder() {
    if (iconv_ != nullptr && iconv_ != kNoConverter) ::iconv_close(static_cast<iconv_t>(iconv_));
}

bool PageDecoder::readable() const {
    return charset_ != PageCharset::Other || iconv_ != kNoConverter;
}

std::size_t PageDecoder::decodeAt(std::string_view text, std::size_t at, char32_t& first, char32_t& second) const {
    second = 0;
    const auto lead = static_cast<unsigned char>(text[at]);
    switch (charset_) {
        case PageCharset::Windows1252:
            first = cp1252ToUnicode(lead);
            return 1;
        case PageCharset::Utf8:
            return decodeUtf8At(text, at, first);
        case PageCharset::Other:
            break;
    }
    // In every encoding read here an ASCII byte that begins a character is
    // that character.
    if (lead < 0x80) {
        first = lead;
        return 1;
    }
    return decodeByIconv(text, at, first, second);
}

// The shortest run of bytes from at that iconv reads whole, one to four long.
std::size_t PageDecoder::decodeByIconv(std::string_view text, std::size_t at, char32_t& first, char32_t& second) const {
    if (!readable()) return 0;
    const auto converter = static_cast<iconv_t>(iconv_);
    for (std::size_t length = 1; length <= kLongestCharacter && at + length <= text.size(); ++length) {
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text.data() + at);
        std::size_t inLeft = length;
        unsigned char out[16];
        char* outAt = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        const std::size_t done = ::iconv(converter, &in, &inLeft, &outAt, &outLeft);
        if (done != static_cast<std::size_t>(-1) && inLeft == 0) {
            const std::size_t characters = (sizeof out - outLeft) / 4;
            if (characters == 0) return 0;
            first = fromLittleEndian(out);
            if (characters > 1) second = fromLittleEndian(out + 4);
            return length;
        }
        if (done == static_cast<std::size_t>(-1) && errno != EINVAL) return 0;
    }
    return 0;
}

unsigned long PageDecoder::referenceCode(char32_t character) const {
    return charset_ == PageCharset::Windows1252 ? cp1252ReferenceCode(character)
                                                : static_cast<unsigned long>(character);
}

unsigned long PageDecoder::referenceForStrayByte(unsigned char byte) const {
    return charset_ == PageCharset::Other ? kReplacementCharacter : byte;
}

}  // namespace quill
