#include "runs/file_rewrite.hpp"

#include <new>
#include <optional>

#include "addresses/address_protection.hpp"
#include "engine/case_blind_replace.hpp"
#include "files/file_io.hpp"
#include "files/rewrite_batch.hpp"
#include "files/folder_lock.hpp"
#include "files/memory_budget.hpp"
#include "html/page_decoder.hpp"

namespace quill {

RewriteResult Dateien_kodieren(const StringList& paths, const StringList& foundTexts, const RewriteOptions& options) {
    const RunReplacements replacements(foundTexts);
    const bool protectAll = options.protectAll;
    if (replacements.empty() && !protectAll) return {};
    const auto keepReadable = [&options](const std::string& address) {
        return options.exceptions && options.exceptions->coversAddress(address);
    };
    const auto pageExcepted = [&options](const std::string& path) {
        return options.exceptions && options.exceptions->coversPath(options.pageName ? options.pageName(path) : path);
    };
    bool protectedAny = false;
    const files::FolderLocks locks(paths);
    std::vector<UnreadablePage> unreadable;
    files::RewriteBatch batch;
    try {
        // A file listed twice is rewritten (and counted) once.
        forEachItem(options.observer, RunStep::Encoding, withoutRepeats(paths),
                    [](const std::string& path) { return path; },
                    [&](const std::string& path) {
                        if (batch.full() || batch.holds(path)) batch.commit();
                        files::FileStamp read;
                        const std::string text = files::readWholeFile(path, &read);
                        const PageEncoding encoding = detectPageEncoding(text, path);
                        if (!PageDecoder(encoding).readable()) {
                            // Its characters cannot be read, so none is rewritten.
                            unreadable.push_back({path, encoding.name});
                            return;
                        }
                        std::size_t places = 0;
                        std::string result;
                        try {
                            result = replacements.apply(text, encoding, &places);
                            if (protectAll && !pageExcepted(path)) {
                                std::string all = protectAllAddresses(
                                    result, keepReadable, &places, encoding.xml ? ReferenceEnd::Always : ReferenceEnd::AsNeeded);
                                protectedAny = protectedAny || all != result;
                                result.swap(all);
                            }
                        } catch (const std::bad_alloc&) {
                            throw files::FileTooLargeError(files::tooLargeText(path, read.size));
                        }
                        if (result != text && options.beforeWrite)
                            options.beforeWrite(FileChange{path, text, result, places});
                        if (!replacements.empty() || result != text) batch.stage(path, result, std::nullopt, &read);
                    });
    } catch (...) {
        // The files before the failing (or cancelled) one are done; a
        // failure of theirs comes first and replaces this one.
        batch.commit();
        throw;
    }
    batch.commit();
    return {protectedAny, std::move(unreadable)};
}

std::string unreadablePagesNote(const std::vector<UnreadablePage>& pages) {
    if (pages.empty()) return {};
    std::string note = pages.size() == 1 ? "\r\n\r\nDiese Datei blieb unverändert, weil ihre Zeichenkodierung nicht "
                                           "gelesen werden kann:"
                                         : "\r\n\r\nDiese Dateien blieben unverändert, weil ihre Zeichenkodierung "
                                           "nicht gelesen werden kann:";
    for (const UnreadablePage& page : pages) note += "\r\n" + page.path + " (" + page.encoding + ")";
    return note;
}

}  // namespace quill
