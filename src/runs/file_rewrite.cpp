#include "runs/file_rewrite.hpp"

#include "addresses/address_protection.hpp"
#include "engine/case_blind_replace.hpp"
#include "files/file_io.hpp"
#include "files/rewrite_batch.hpp"
#include "files/temporary_files.hpp"

namespace quill {

void Datei_ersetzen(const std::string& path, std::string_view oldText, std::string_view newText) {
    const std::string text = files::readWholeFile(path);
    files::replaceFileContents(path, replaceIgnoringCase(text, oldText, newText));
}

bool Dateien_kodieren(const StringList& paths, const StringList& foundTexts, bool protectAll,
                      RunObserver* observer) {
    const RunReplacements replacements(foundTexts);
    if (replacements.empty() && !protectAll) return false;
    bool protectedAny = false;
    files::TemporarySweep sweep;
    files::RewriteBatch batch;
    try {
        forEachItem(observer, RunStep::Encoding, paths, [](const std::string& path) { return path; },
                    [&](const std::string& path) {
                        // A file listed twice is read again only after its first rewrite.
                        if (batch.full() || batch.holds(path)) batch.commit();
                        sweep.folderOfFile(path);
                        const std::string text = files::readWholeFile(path);
                        std::string result = replacements.apply(text);
                        if (protectAll) {
                            std::string all = protectAllAddresses(result);
                            protectedAny = protectedAny || all != result;
                            result.swap(all);
                        }
                        if (!replacements.empty() || result != text) batch.stage(path, result);
                    });
    } catch (...) {
        // The files before the failing (or cancelled) one are done; a
        // failure of theirs comes first and replaces this one.
        batch.commit();
        throw;
    }
    batch.commit();
    return protectedAny;
}

}  // namespace quill
