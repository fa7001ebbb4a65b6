#include "encoding/found_text_replacement.hpp"

#include "encoding/char_reference.hpp"

namespace quill {

std::string replacementForFoundText(std::string_view foundText) {
    const auto ampersand = foundText.find('&');
    const std::string_view head = foundText.substr(0, ampersand);
    const std::string_view kept = ampersand == std::string_view::npos ? std::string_view() : foundText.substr(ampersand);

    std::string result;
    const auto quote = head.find('"');
    if (quote == std::string_view::npos) {
        result = linkEncoding(head);
    } else {
        const auto tagEnd = head.find('>', quote);
        result = linkEncoding(head.substr(0, quote));
        if (tagEnd == std::string_view::npos) {
            result += head.substr(quote);
        } else {
            result += head.substr(quote, tagEnd - quote + 1);
            result += linkEncoding(head.substr(tagEnd + 1));
        }
    }
    result += kept;
    return result;
}

}  // namespace quill
