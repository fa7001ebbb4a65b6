#include "text/string_list.hpp"

#include <unordered_set>

namespace quill {

StringList splitLines(std::string_view text) {
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);

    StringList lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::string joinLines(const StringList& lines) {
    std::string text;
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string crlfLines(std::string_view text) {
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::string result;
    result.reserve(text.size() + text.size() / 16 + 2);
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            result.append(text.substr(start));
            result += "\r\n";
            break;
        }
        result.append(text.substr(start, end - start));
        result += "\r\n";
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return result;
}

StringList withoutRepeats(const StringList& list) {
    StringList unique;
    unique.reserve(list.size());
    std::unordered_set<std::string_view> seen;
    for (const auto& entry : list)
        if (seen.insert(entry).second) unique.push_back(entry);
    return unique;
}

}  // namespace quill
