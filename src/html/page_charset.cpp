#include "html/page_charset.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "html/encoding_labels.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kDeclarationWindow = 1024;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

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
        if (attribute->name == "http-equiv")
            contentType = contentType || lowered(trimmed(attribute->value)) == "content-type";
        if (attribute->name == "content" && !content) content = attribute->value;
    }
    if (charset) return charset;
    if (contentType && content) return charsetOfContentType(*content);
    return std::nullopt;
}

// The encoding a declaration names as the prescan takes it: one naming
// UTF-16 means UTF-8 (the declaration itself is ASCII), x-user-defined
// windows-1252; a label browsers do not know is passed over.
const KnownEncoding* declaredEncoding(const std::string& label) {
    const KnownEncoding* known = encodingForLabel(label);
    if (known == nullptr) return nullptr;
    if (known->name == "UTF-16LE" || known->name == "UTF-16BE") return encodingForLabel("utf-8");
    if (known->name == "x-user-defined") return encodingForLabel("windows-1252");
    return known;
}

// The first declaration of a meta element that starts within the window and
// names an encoding browsers know, passing over comments.
const KnownEncoding* declaredCharset(std::string_view page) {
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
            if (const auto declared = declaredByMeta(page, at))
                if (const KnownEncoding* known = declaredEncoding(*declared)) return known;
        }
    }
    return nullptr;
}

std::string_view withoutMark(std::string_view bytes) {
    return bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark ? bytes.substr(kUtf8Mark.size()) : bytes;
}

// The encoding="..." of an XML declaration at the very start.
std::optional<std::string> xmlDeclaredEncoding(std::string_view bytes) {
    bytes = withoutMark(bytes);
    while (!bytes.empty() && isSpace(bytes.front())) bytes.remove_prefix(1);
    if (bytes.substr(0, 5) != "<?xml") return std::nullopt;
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const auto at = declaration.find("encoding");
    if (at == std::string_view::npos) return std::nullopt;
    std::size_t i = at + 8;
    while (i < declaration.size() && (isSpace(declaration[i]) || declaration[i] == '=')) ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) return std::nullopt;
    const auto close = declaration.find(declaration[i], i + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(declaration.substr(i + 1, close - i - 1));
}

PageEncoding encodingNamed(const KnownEncoding& known, bool xml) {
    PageEncoding encoding;
    encoding.name = known.name;
    encoding.xml = xml;
    if (known.name == "UTF-8") {
        encoding.charset = PageCharset::Utf8;
    } else if (known.name == "windows-1252") {
        encoding.charset = PageCharset::Windows1252;
    } else {
        encoding.charset = PageCharset::Other;
        encoding.iconvName = known.iconvName;
    }
    return encoding;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && lowered(text.substr(text.size() - tail.size())) == tail;
}

}  // namespace

bool isUtf8WithNonAscii(std::string_view text) {
    bool nonAscii = false;
    for (std::size_t at = 0; at < text.size();) {
        // Runs of ASCII, which most of a page is, go eight bytes at a time.
        std::uint64_t eight = 0;
        if (at + sizeof eight <= text.size()) {
            std::memcpy(&eight, text.data() + at, sizeof eight);
            if ((eight & 0x8080808080808080u) == 0) {
                at += sizeof eight;
                continue;
            }
        }
        char32_t codePoint = 0;
        const std::size_t length = decodeUtf8At(text, at, codePoint);
        if (length == 0) return false;
        nonAscii = nonAscii || length > 1;
        at += length;
    }
    return nonAscii;
}

bool isXmlDocument(std::string_view fileBytes, std::string_view fileName) {
    if (endsWithIgnoringCase(fileName, ".xhtml") || endsWithIgnoringCase(fileName, ".xht")) return true;
    std::string_view text = withoutMark(fileBytes);
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    return text.substr(0, 5) == "<?xml";
}

PageEncoding detectPageEncoding(std::string_view fileBytes, std::string_view fileName) {
    const bool xml = isXmlDocument(fileBytes, fileName);
    if (fileBytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return encodingNamed(*encodingForLabel("utf-8"), xml);
    if (fileBytes.substr(0, 2) == "\xFE\xFF") return encodingNamed(*encodingForLabel("utf-16be"), xml);
    if (fileBytes.substr(0, 2) == "\xFF\xFE") return encodingNamed(*encodingForLabel("utf-16le"), xml);
    if (xml)
        if (const auto label = xmlDeclaredEncoding(fileBytes))
            if (const KnownEncoding* known = encodingForLabel(*label)) return encodingNamed(*known, xml);
    if (const KnownEncoding* declared = declaredCharset(fileBytes)) return encodingNamed(*declared, xml);
    return encodingNamed(*encodingForLabel(isUtf8WithNonAscii(fileBytes) ? "utf-8" : "windows-1252"), xml);
}

PageCharset detectPageCharset(std::string_view fileBytes) {
    return detectPageEncoding(fileBytes).charset;
}

}  // namespace quill
