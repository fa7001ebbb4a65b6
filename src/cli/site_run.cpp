#include "cli/site_run.hpp"

#include <filesystem>
#include <map>
#include <optional>

#include "cli/scratch_folder.hpp"
#include "files/file_io.hpp"
#include "text/quill_error.hpp"

namespace quill::cli {

namespace fs = std::filesystem;

SiteRun encodeSiteFiles(EncodingRuns& runs, bool trial, RunObserver& progress) {
    const StringList paths = runs.foundFiles;
    SiteRun result;
    result.files.reserve(paths.size());
    progress.stepStarted(RunStep::Scanning, paths.size());
    for (const auto& path : paths) {
        progress.progress(result.files.size(), paths.size(), path);
        // Read before the scan, so a missing file fails here and not halfway.
        FileResult file{path, files::readWholeFile(path), {}, 0};
        runs.Datei_scannen(path);
        file.addresses = runs.Parser.Tags().size();
        result.files.push_back(std::move(file));
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
    result.readable = auditFiles(targets);
    if (trial) {
        std::map<std::string, std::string> originals;
        for (std::size_t i = 0; i < targets.size(); ++i) originals.emplace(targets[i], paths[i]);
        for (auto& hit : result.readable) hit.path = originals.at(hit.path);
    }
    return result;
}

}  // namespace quill::cli
