#include "cli/site_run.hpp"

#include <filesystem>
#include <map>
#include <optional>

#include "cli/scratch_folder.hpp"
#include "files/file_io.hpp"
#include "files/rewrite_journal.hpp"
#include "text/quill_error.hpp"

namespace quill::cli {

namespace fs = std::filesystem;

SiteRun encodeSiteFiles(EncodingRuns& runs, bool trial, RunObserver& progress) {
    const StringList paths = runs.foundFiles;
    // A rewrite a kill interrupted is finished before its file is read; a
    // trial writes nothing in the site, so it leaves that to a real run.
    if (!trial) files::finishInterruptedRewrites();
    SiteRun result;
    result.files.reserve(paths.size());
    progress.stepStarted(RunStep::Scanning, paths.size());
    for (const auto& path : paths) {
        progress.progress(result.files.size(), paths.size(), path);
        // Read before the scan, so a missing file fails here and not halfway.
        result.files.push_back(FileResult{path, files::readWholeFile(path), {}, 0});
        runs.Datei_scannen(path);
    }
    progress.progress(paths.size(), paths.size(), std::string());

    std::optional<ScratchFolder> scratch;
    StringList targets = paths;
    if (trial) {
        scratch.emplace();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            // One sub-folder per file keeps equal names apart.
            const fs::path copy = fs::path(scratch->path()) / std::to_string(i) / fs::path(paths[i]).filename();
            fs::create_directory(copy.parent_path());
            fs::copy_file(paths[i], copy);
            targets[i] = copy.string();
        }
    }
    std::map<std::string, std::size_t> indexOf;
    for (std::size_t i = 0; i < targets.size(); ++i) indexOf.emplace(targets[i], i);
    // The caller's listener hears the real files only; a copy goes by its
    // file's name. Both are put back however the run ends.
    struct Listening {
        EncodingRuns& runs;
        std::function<void(const FileChange&)> caller;
        ~Listening() {
            runs.beforeWrite = std::move(caller);
            runs.pageName = nullptr;
        }
    } listening{runs, runs.beforeWrite};
    runs.pageName = [&](const std::string& target) { return paths[indexOf.at(target)]; };
    runs.beforeWrite = [&](const FileChange& change) {
        result.files[indexOf.at(change.path)].places += change.places;
        if (listening.caller && !trial) listening.caller(change);
    };
    try {
        runs.Dateien_kodieren(targets);
    } catch (const QuillError& failure) {
        if (!trial) throw;
        // The message names the copy; the user knows the file.
        std::string text = failure.what();
        for (std::size_t i = 0; i < targets.size(); ++i)
            for (std::size_t at = text.find(targets[i]); at != std::string::npos; at = text.find(targets[i], at))
                text.replace(at, targets[i].size(), paths[i]);
        throw QuillError(text);
    }
    for (std::size_t i = 0; i < targets.size(); ++i) result.files[i].after = files::readWholeFile(targets[i]);
    result.outcome = runs.Ergebnis_melden();
    std::vector<ReadableAddress> hits = auditFiles(targets);
    if (trial)
        for (auto& hit : hits) hit.path = paths[indexOf.at(hit.path)];
    result.readable = splitByExceptions(std::move(hits), runs.exceptions);
    return result;
}

}  // namespace quill::cli
