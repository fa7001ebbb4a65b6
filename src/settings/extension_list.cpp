#include "settings/extension_list.hpp"

#include <algorithm>
#include <cerrno>

#include "files/file_io.hpp"
#include "files/string_list_file.hpp"
#include "settings/line_spans.hpp"

namespace quill {

namespace {

// The readable part of the file changed into masks: a mask added at the end or
// one removed changes only that line; anything else writes the list anew.
std::string changedText(std::string_view readable, const StringList& masks) {
    const std::vector<LineSpan> spans = lineSpans(readable);
    StringList lines;
    for (const auto& span : spans) lines.emplace_back(readable.substr(span.begin, span.end - span.begin));
    if (lines == masks) return std::string(readable);
    if (masks.size() == lines.size() + 1 && std::equal(lines.begin(), lines.end(), masks.begin()))
        return std::string(readable) + appendedLine(readable, masks.back());
    if (masks.size() + 1 == lines.size()) {
        std::size_t removed = 0;
        while (removed < masks.size() && masks[removed] == lines[removed]) ++removed;
        if (std::equal(masks.begin() + static_cast<std::ptrdiff_t>(removed), masks.end(),
                       lines.begin() + static_cast<std::ptrdiff_t>(removed) + 1)) {
            std::string text(readable);
            return text.erase(spans[removed].begin, spans[removed].next - spans[removed].begin);
        }
    }
    return joinLines(masks);
}

}  // namespace

std::string extensionListPath() {
    return files::inCurrentFolder("Endungen.qmk");
}

StringList loadExtensionList() {
    return files::loadStringList(extensionListPath());
}

void saveExtensionList(const StringList& masks) {
    const std::string path = extensionListPath();
    std::string bytes;
    try {
        bytes = files::readWholeFile(path);
    } catch (const files::FileOpenError&) {
        // Missing, or not a regular file: the write below finds out.
    }
    if (looksLikeUtf16(bytes)) throw files::FileCreateError(files::createErrorText(path, EILSEQ));
    const std::string_view readable = readablePart(bytes);
    const std::string text = changedText(readable, masks) + bytes.substr(readable.size());
    files::replaceFileContents(path, text, std::nullopt, files::LockedFolder::WriteInPlace);
}

}  // namespace quill
