#include "cli/site_run.hpp"

#include "encoding/case_blind_replace.hpp"
#include "files/file_io.hpp"

namespace quill::cli {

SiteRun encodeSiteFiles(EncodingRuns& runs, bool dryRun) {
    const StringList paths = runs.foundFiles;
    SiteRun result;
    result.files.reserve(paths.size());
    for (const auto& path : paths) {
        // Read before the scan, so a missing file fails here and not halfway.
        FileResult file{path, files::readWholeFile(path), {}, 0};
        runs.Datei_scannen(path);
        file.addresses = runs.Parser.Tags().size();
        result.files.push_back(std::move(file));
    }
    if (dryRun) {
        const RunReplacements replacements(runs.foundAddresses.items());
        for (auto& file : result.files) file.after = replacements.empty() ? file.before : replacements.apply(file.before);
    } else {
        runs.Dateien_kodieren(paths);
        for (auto& file : result.files) file.after = files::readWholeFile(file.path);
    }
    result.outcome = runs.Ergebnis_melden();
    return result;
}

}  // namespace quill::cli
