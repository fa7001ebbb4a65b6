#include "encoding/file_rewrite.hpp"

#include "encoding/case_blind_replace.hpp"
#include "files/file_io.hpp"

namespace quill {

void Datei_ersetzen(const std::string& path, std::string_view oldText, std::string_view newText) {
    const std::string text = files::readWholeFile(path);
    files::replaceFileContents(path, replaceIgnoringCase(text, oldText, newText));
}

void Dateien_kodieren(const StringList& paths, const StringList& foundTexts) {
    const RunReplacements replacements(foundTexts);
    if (replacements.empty()) return;
    for (const auto& path : paths) {
        const std::string text = files::readWholeFile(path);
        files::replaceFileContents(path, replacements.apply(text));
    }
}

}  // namespace quill
