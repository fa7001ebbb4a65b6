#include "runs/change_preview.hpp"

#include "html/page_charset.hpp"
#include "html/page_decoder.hpp"
#include "html/shown_characters.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

// Lines with their line ends, so that joining them gives the text again.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (text[i] == '\n' || (text[i] == '\r' && !crlf)) {
            lines.push_back(text.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string asReaderSees(std::string_view bytes, const PageDecoder& decoder) {
    std::u32string codes;
    for (const ShownCharacter& c : shownCharacters(bytes, 0, bytes.size(), decoder, ReferenceContext::Text))
        codes += c.code;
    while (!codes.empty() && (codes.back() == U'\n' || codes.back() == U'\r')) codes.pop_back();
    return codePointsToUtf8(codes);
}

std::string joined(const std::vector<std::string_view>& lines, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i) text += lines[i];
    return text;
}

}  // namespace

RunPreview previewLocalRun(LocalRunParameters parameters) {
    RunPreview preview;
    parameters.writeNothing = true;
    parameters.finishInterruptedRewrites = false;
    parameters.hooks = {};
    parameters.hooks.beforeWrite = [&preview](const PageChange& change) {
        preview.files.push_back({change.path, std::string(change.before), std::string(change.after), change.places});
    };
    preview.foundTexts = runLocalEncoding(parameters).foundTexts;
    return preview;
}

std::vector<ChangedLines> changedLines(std::string_view before, std::string_view after) {
    const PageDecoder decodedBefore(detectPageEncoding(before));
    const PageDecoder decodedAfter(detectPageEncoding(after));
    const std::vector<std::string_view> old = linesOf(before);
    const std::vector<std::string_view> now = linesOf(after);
    std::vector<ChangedLines> changes;
    if (old.size() == now.size()) {
        for (std::size_t i = 0; i < old.size(); ++i)
            if (old[i] != now[i])
                changes.push_back(
                    {static_cast<int>(i) + 1, asReaderSees(old[i], decodedBefore), asReaderSees(now[i], decodedAfter)});
        return changes;
    }
    std::size_t head = 0;
    while (head < old.size() && head < now.size() && old[head] == now[head]) ++head;
    std::size_t tail = 0;
    while (tail < old.size() - head && tail < now.size() - head &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    changes.push_back({static_cast<int>(head) + 1, asReaderSees(joined(old, head, old.size() - tail), decodedBefore),
                       asReaderSees(joined(now, head, now.size() - tail), decodedAfter)});
    return changes;
}

}  // namespace quill
