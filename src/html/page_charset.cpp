#include "html/page_charset.hpp"

#include <array>
#include <optional>
#include <string>

#include "text/cp1252.hpp"

namespace quill {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kDeclarationWindow = 1024;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string lowered(std::string_view text) {
    std::string result;
    for (const char c : text) result += lower(c);
    return result;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Browsers read a page declared as UTF-16 through a meta element as UTF-8:
// the declaration is in ASCII, so the page cannot be UTF-16.
bool namesUtf8(std::string_view label) {
    static constexpr std::array<std::string_view, 10> kLabels = {
        "utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "x-unicode20utf8",
        "utf-16", "utf-16le", "utf-16be", "unicode"};
    const std::string name = lowered(trimmed(label));
    for (const auto candidate : kLabels)
        if (name == candidate) return true;
    return false;
}

struct Attribute {
    std::string name;
    std::string value;
};

// One attribute of a tag from at on; at moves behind it. Nothing when the
// tag ends (or the text does).
std::optional<Attribute> nextAttribute(std::string_view text, std::size_t& at) {
    while (at < text.size() && (isSpace(text[at]) || text[at] == '/')) ++at;
    if (at >= text.size() || text[at] == '>') return std::nullopt;
    Attribute attribute;
    while (at < text.size() && !isSpace(text[at]) && text[at] != '=' && text[at] != '>' &&
           (text[at] != '/' || attribute.name.empty()))
        attribute.name += lower(text[at++]);
    while (at < text.size() && isSpace(text[at])) ++at;
    if (at >= text.size() || text[at] != '=') return attribute;
    ++at;
    while (at < text.size() && isSpace(text[at])) ++at;
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const char quote = text[at++];
        const auto close = text.find(quote, at);
        if (close == std::string_view::npos) {
            at = text.size();
            return std::nullopt;
        }
        attribute.value = text.substr(at, close - at);
        at = close + 1;
    } else {
        while (at < text.size() && !isSpace(text[at]) && text[at] != '>') attribute.value += text[at++];
    }
    return attribute;
}

// The label behind "charset=" in a content-type value.
std::optional<std::string> charsetOfContentType(std::string_view content) {
    const std::string lowerContent = lowered(content);
    for (auto at = lowerContent.find("charset"); at != std::string::npos; at = lowerContent.find("charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < content.size() && isSpace(content[i])) ++i;
        if (i >= content.size() || content[i] != '=') continue;
        ++i;
        while (i < content.size() && isSpace(content[i])) ++i;
        if (i < content.size() && (content[i] == '"' || content[i] == '\'')) {
            const auto close = content.find(content[i], i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            return std::string(content.substr(i + 1, close - i - 1));
        }
        std::size_t end = i;
        while (end < content.size() && !isSpace(content[end]) && content[end] != ';') ++end;
        return std::string(content.substr(i, end - i));
    }
    return std::nullopt;
}

// The character set a meta element declares, if it declares one.
std::optional<std::string> declaredByMeta(std::string_view text, std::size_t& at) {
    bool contentType = false;
    std::optional<std::string> charset;
    std::optional<std::string> content;
    while (const auto attribute = nextAttribute(text, at)) {
        if (attribute->name == "charset" && !charset) charset = attribute->value;
        if (attribute->name == "http-equiv") contentType = contentType || lowered(trimmed(attribute->value)) == "content-type";
        if (attribute->name == "content" && !content) content = attribute->value;
    }
    if (charset) return charset;
    if (contentType && content) return charsetOfContentType(*content);
    return std::nullopt;
}

// The first declaration of a meta element that starts within the window,
// passing over comments.
std::optional<std::string> declaredCharset(std::string_view page) {
    const std::string head = lowered(page.substr(0, kDeclarationWindow));
    std::size_t at = 0;
    while (at < head.size()) {
        const auto open = head.find('<', at);
        if (open == std::string::npos) break;
        if (head.compare(open, 4, "<!--") == 0) {
            const auto close = page.find("-->", open + 4);
            if (close == std::string_view::npos) break;
            at = close + 3;
            continue;
        }
        at = open + 1;
        if (head.compare(open, 5, "<meta") == 0 && open + 5 < page.size() &&
            (isSpace(page[open + 5]) || page[open + 5] == '/')) {
            at = open + 5;
            if (auto declared = declaredByMeta(page, at)) return declared;
        }
    }
    return std::nullopt;
}

}  // namespace

bool isUtf8WithNonAscii(std::string_view text) {
    bool nonAscii = false;
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = decodeUtf8At(text, at, codePoint);
        if (length == 0) return false;
        nonAscii = nonAscii || length > 1;
        at += length;
    }
    return nonAscii;
}

PageCharset detectPageCharset(std::string_view fileBytes) {
    if (fileBytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return PageCharset::Utf8;
    if (const auto declared = declaredCharset(fileBytes))
        return namesUtf8(*declared) ? PageCharset::Utf8 : PageCharset::Windows1252;
    return isUtf8WithNonAscii(fileBytes) ? PageCharset::Utf8 : PageCharset::Windows1252;
}

}  // namespace quill
