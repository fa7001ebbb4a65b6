#include "addresses/address_pattern.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace quill {

namespace {

bool isAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}
bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// Letters of the scripts a mail address is written in; punctuation, symbols
// and spaces outside ASCII end an address.
bool isLetter(char32_t c) {
    if (isAsciiLetter(c)) return true;
    if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;
    return (c >= 0x370 && c <= 0x52F && c != 0x37E && c != 0x387) || (c >= 0x3040 && c <= 0x9FFF) ||
           (c >= 0xAC00 && c <= 0xD7AF);
}

bool isLocalCharacter(char32_t c) {
    return isLetter(c) || isDigit(c) || c == U'.' || c == U'_' || c == U'%' || c == U'+' || c == U'-';
}
bool isDomainCharacter(char32_t c) {
    return isLetter(c) || isDigit(c) || c == U'-' || c == U'.';
}

constexpr std::array<std::u32string_view, 10> kFileTypes = {U"png",  U"jpg", U"jpeg", U"gif",  U"svg",
                                                            U"webp", U"css", U"js",   U"html", U"htm"};

char32_t lower(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + 0x20 : c;
}

bool isTopLevelName(std::u32string_view label) {
    if (label.size() < 2) return false;
    std::u32string lowered(label);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), lower);
    if (lowered.size() > 4 && lowered.substr(0, 4) == U"xn--") return true;
    if (!std::all_of(lowered.begin(), lowered.end(), isLetter)) return false;
    return std::find(kFileTypes.begin(), kFileTypes.end(), lowered) == kFileTypes.end();
}

// The end of the domain that begins at text[from], or from when there is none.
std::size_t domainEnd(std::u32string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && isDomainCharacter(text[end])) ++end;
    // Labels are non-empty and do not begin or end with "-"; the first label
    // that breaks this ends the domain, and so does a sentence's final point.
    std::vector<std::size_t> labelEnds;
    std::size_t labelBegin = from;
    for (std::size_t i = from; i <= end; ++i) {
        if (i < end && text[i] != U'.') continue;
        if (i == labelBegin || text[labelBegin] == U'-' || text[i - 1] == U'-') break;
        labelEnds.push_back(i);
        labelBegin = i + 1;
    }
    while (labelEnds.size() >= 2) {
        const std::size_t last = labelEnds.back();
        const std::size_t lastBegin = labelEnds[labelEnds.size() - 2] + 1;
        if (isTopLevelName(text.substr(lastBegin, last - lastBegin))) return last;
        labelEnds.pop_back();
    }
    return from;
}

}  // namespace

std::vector<AddressSpan> findAddresses(std::u32string_view text) {
    std::vector<AddressSpan> found;
    std::size_t searchFrom = 0;
    for (std::size_t at = text.find(U'@'); at != std::u32string_view::npos; at = text.find(U'@', at + 1)) {
        std::size_t first = at;
        while (first > searchFrom && isLocalCharacter(text[first - 1])) --first;
        while (first < at && text[first] == U'.') ++first;
        if (first == at) continue;
        const std::size_t end = domainEnd(text, at + 1);
        if (end == at + 1) continue;
        found.push_back({first, end});
        searchFrom = end;
    }
    return found;
}

}  // namespace quill
