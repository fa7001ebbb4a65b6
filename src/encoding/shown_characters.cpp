#include "encoding/shown_characters.hpp"

#include <array>

#include "text/cp1252.hpp"

namespace quill {

namespace {

struct Named {
    std::string_view name;
    char32_t code;
};

// The names that can stand in an address or around one; longer names first
// where one begins with another, so the first match is the longest.
constexpr std::array<Named, 18> kNames = {{
    {"commat;", U'@'},
    {"period;", U'.'},
    {"lowbar;", U'_'},
    {"hyphen;", 0x2010},
    {"plus;", U'+'},
    {"percnt;", U'%'},
    {"amp;", U'&'},
    {"amp", U'&'},
    {"lt;", U'<'},
    {"lt", U'<'},
    {"gt;", U'>'},
    {"gt", U'>'},
    {"quot;", U'"'},
    {"quot", U'"'},
    {"apos;", U'\''},
    {"nbsp;", 0xA0},
    {"nbsp", 0xA0},
    {"shy;", 0xAD},
}};

const Named* namedAt(std::string_view rest) {
    for (const Named& entry : kNames)
        if (rest.substr(0, entry.name.size()) == entry.name) return &entry;
    return nullptr;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isAlphanumeric(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What a browser makes of a numeric reference's value.
char32_t numericCode(unsigned long value) {
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0xFFFD;
    if (value >= 0x80 && value <= 0x9F) return cp1252ToUnicode(static_cast<unsigned char>(value));
    return static_cast<char32_t>(value);
}

// A numeric reference at page[at] ("&#..."): its length, or 0 for none.
std::size_t numericReference(std::string_view page, std::size_t at, std::size_t end, char32_t& code) {
    std::size_t i = at + 2;
    const bool hex = i < end && (page[i] == 'x' || page[i] == 'X');
    if (hex) ++i;
    const std::size_t digits = i;
    unsigned long value = 0;
    for (; i < end && (hex ? isHexDigit(page[i]) : isDigit(page[i])); ++i) {
        const char c = page[i];
        const unsigned long digit =
            isDigit(c) ? static_cast<unsigned long>(c - '0') : static_cast<unsigned long>((c | 0x20) - 'a' + 10);
        // Anything past the last code point shows as U+FFFD; stop growing.
        if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + digit;
    }
    if (i == digits) return 0;
    if (i < end && page[i] == ';') ++i;
    code = numericCode(value);
    return i - at;
}

// A named reference at page[at] ("&name"): its length, or 0 for none.
std::size_t namedReference(std::string_view page, std::size_t at, std::size_t end, ReferenceContext context,
                           char32_t& code) {
    const std::string_view rest = page.substr(at + 1, end - at - 1);
    const Named* named = namedAt(rest);
    if (named == nullptr) return 0;
    const std::size_t after = at + 1 + named->name.size();
    if (context == ReferenceContext::Attribute && named->name.back() != ';' && after < end &&
        (page[after] == '=' || isAlphanumeric(page[after])))
        return 0;
    code = named->code;
    return after - at;
}

}  // namespace

std::vector<ShownCharacter> shownCharacters(std::string_view page, std::size_t begin, std::size_t end, bool utf8,
                                            ReferenceContext context) {
    std::vector<ShownCharacter> shown;
    shown.reserve(end - begin);
    std::size_t i = begin;
    while (i < end) {
        char32_t code = 0;
        std::size_t length = 0;
        if (page[i] == '&' && context != ReferenceContext::None && i + 1 < end) {
            length =
                page[i + 1] == '#' ? numericReference(page, i, end, code) : namedReference(page, i, end, context, code);
        }
        if (length > 0) {
            shown.push_back({code, i, i + length, true});
        } else {
            if (utf8) {
                length = decodeUtf8At(page.substr(0, end), i, code);
                if (length == 0) length = 1;
            } else {
                code = cp1252ToUnicode(static_cast<unsigned char>(page[i]));
                length = 1;
            }
            shown.push_back({code, i, i + length, false});
        }
        i += length;
    }
    return shown;
}

bool pageLooksUtf8(std::string_view page) {
    if (page.substr(0, 3) == "\xEF\xBB\xBF") return true;
    bool nonAscii = false;
    for (std::size_t i = 0; i < page.size();) {
        if (static_cast<unsigned char>(page[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t code = 0;
        const std::size_t length = decodeUtf8At(page, i, code);
        if (length == 0) return false;
        nonAscii = true;
        i += length;
    }
    return nonAscii;
}

}  // namespace quill
