#include "settings/line_spans.hpp"

namespace quill {

std::string_view readablePart(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

std::vector<LineSpan> lineSpans(std::string_view text) {
    std::vector<LineSpan> spans;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            spans.push_back({start, text.size(), text.size()});
            break;
        }
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        spans.push_back({start, end, next});
        start = next;
    }
    return spans;
}

std::string appendedLine(std::string_view text, std::string_view line) {
    std::string result;
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') result += "\r\n";
    result += line;
    result += "\r\n";
    return result;
}

bool looksLikeUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xff\xfe") || bytes.starts_with("\xfe\xff")) return true;
    auto ascii = [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; };
    return bytes.size() >= 2 && ((ascii(bytes[0]) && bytes[1] == '\0') || (bytes[0] == '\0' && ascii(bytes[1])));
}

}  // namespace quill
