#include "runs/file_mask.hpp"

#include <algorithm>
#include <string>

#include "text/cp1252.hpp"

namespace quill {

namespace {

// Upper case by the same table as the text replacement; characters outside
// code page 1252 stay as they are.
std::u32string folded(std::string_view utf8) {
    std::u32string text = utf8ToCodePoints(utf8);
    for (auto& c : text) {
        unsigned char byte = 0;
        if (unicodeToCp1252(c, byte)) c = cp1252ToUnicode(toUpper1252(byte));
    }
    return text;
}

bool wildcardMatch(std::u32string_view name, std::u32string_view mask) {
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starMask = std::u32string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == U'?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::u32string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == U'*') ++m;
    return m == mask.size();
}

bool isThreeLetterExtensionMask(std::u32string_view mask) {
    return mask.size() == 5 && mask[0] == U'*' && mask[1] == U'.' &&
           std::none_of(mask.begin() + 2, mask.end(), [](char32_t c) { return c == U'*' || c == U'?' || c == U'.'; });
}

}  // namespace

bool maskMatches(std::string_view name, std::string_view mask) {
    const std::u32string foldedMask = folded(mask);
    if (foldedMask == U"*.*") return true;
    const std::u32string foldedName = folded(name);
    if (wildcardMatch(foldedName, foldedMask)) return true;
    if (!isThreeLetterExtensionMask(foldedMask)) return false;
    const auto dot = foldedName.rfind(U'.');
    if (dot == std::u32string::npos) return false;
    const std::u32string_view extension = std::u32string_view(foldedName).substr(dot + 1);
    return extension.size() > 3 && extension.substr(0, 3) == std::u32string_view(foldedMask).substr(2);
}

bool wildcardMatches(std::string_view name, std::string_view mask) {
    return wildcardMatch(folded(name), folded(mask));
}

bool nameLessIgnoringCase(std::string_view a, std::string_view b) {
    const std::u32string foldedA = folded(a);
    const std::u32string foldedB = folded(b);
    if (foldedA != foldedB) return foldedA < foldedB;
    return a < b;
}

}  // namespace quill
