#include "engine/found_text_replacement.hpp"

#include "html/html_characters.hpp"

namespace quill {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The ">" that ends the tag, from inside it at "at"; a ">" within a quoted
// attribute value does not end it.
std::size_t tagEnd(std::string_view text, std::size_t at) {
    enum class State { Name, BeforeValue, UnquotedValue } state = State::Name;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '>') return at;
        switch (state) {
            case State::Name:
                if (c == '=') state = State::BeforeValue;
                break;
            case State::BeforeValue:
                if (c == '"' || c == '\'') {
                    at = text.find(c, at + 1);
                    if (at == std::string_view::npos) return at;
                    state = State::Name;
                } else if (!isSpace(c)) {
                    state = State::UnquotedValue;
                }
                break;
            case State::UnquotedValue:
                if (isSpace(c)) state = State::Name;
                break;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::string replacementForFoundText(std::string_view foundText, PageCharset charset, ReferenceEnd referenceEnd) {
    return replacementForFoundText(foundText, PageDecoder(charset), referenceEnd);
}

std::string replacementForFoundText(std::string_view foundText, const PageDecoder& decoder, ReferenceEnd referenceEnd) {
    ReferenceWriter out(referenceEnd);
    const auto quote = foundText.find('"');
    appendAsReferences(out, foundText.substr(0, quote), decoder, HtmlPlace::AttributeValue);
    if (quote == std::string_view::npos) return out.take();
    const auto end = tagEnd(foundText, quote + 1);
    if (end == std::string_view::npos) {
        out.plain(foundText.substr(quote));
        return out.take();
    }
    out.plain(foundText.substr(quote, end - quote + 1));
    appendAsReferences(out, foundText.substr(end + 1), decoder, HtmlPlace::Text);
    return out.take();
}

}  // namespace quill
