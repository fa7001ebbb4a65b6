#include "cli/site_run.hpp"

#include <filesystem>
#include <map>
#include <optional>

#include "cli/json_writer.hpp"
#include "cli/scratch_folder.hpp"
#include "cli/unified_diff.hpp"
#include "text/quill_error.hpp"

namespace quill::cli {

namespace fs = std::filesystem;

SiteRun encodeSiteFiles(const StringList& paths, const SiteRunOptions& options) {
    LocalRunParameters parameters = LocalRunParameters::over(paths);
    parameters.protectAll = options.protectAll;
    parameters.exceptions = options.exceptions;
    parameters.missingPageFails = true;
    // A trial writes nothing in the site, so it leaves that to a real run.
    parameters.finishInterruptedRewrites = !options.trial;
    parameters.observer = options.observer;

    std::optional<ScratchFolder> scratch;
    if (options.trial) {
        scratch.emplace();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            // One sub-folder per file keeps equal names apart.
            const fs::path copy = fs::path(scratch->path()) / std::to_string(i) / fs::path(paths[i]).filename();
            fs::create_directory(copy.parent_path());
            fs::copy_file(paths[i], copy);
            parameters.rewritten[i] = copy.string();
        }
    }
    const StringList& targets = parameters.rewritten;
    std::map<std::string, std::size_t> indexOf;
    for (std::size_t i = 0; i < targets.size(); ++i) indexOf.emplace(targets[i], i);
    // A copy goes by its file's name.
    if (options.trial) parameters.pageName = [&](const std::string& target) { return paths[indexOf.at(target)]; };
    // The paths are distinct, so the run's pages stand in their order; each
    // diff is made while the page's old and new bytes are in hand.
    std::vector<FileResult> files;
    files.reserve(paths.size());
    for (const auto& path : paths) files.push_back({path, 0, false, {}});
    if (!options.trial) parameters.hooks = options.backup;
    if (options.diffs)
        parameters.hooks.beforeWrite = [&files, earlier = parameters.hooks.beforeWrite](const PageChange& change) {
            if (earlier) earlier(change);
            FileResult& file = files[change.index];
            file.diff = unifiedDiff(shownName(file.path), change.before, change.after);
        };

    LocalRunResult result;
    try {
        result = runLocalEncoding(parameters);
    } catch (const QuillError& failure) {
        if (!options.trial) throw;
        // The message names the copy; the user knows the file.
        std::string text = failure.what();
        for (std::size_t i = 0; i < targets.size(); ++i)
            for (std::size_t at = text.find(targets[i]); at != std::string::npos; at = text.find(targets[i], at))
                text.replace(at, targets[i].size(), paths[i]);
        throw QuillError(text);
    }
    if (options.trial)
        for (auto& hit : result.readable) hit.path = paths[indexOf.at(hit.path)];
    for (std::size_t i = 0; i < files.size() && i < result.pages.size(); ++i) {
        files[i].places = result.pages[i].places;
        files[i].changed = result.pages[i].changed;
    }
    AuditSplit readable = splitByExceptions(std::move(result.readable), options.exceptions);
    return {std::move(files), result.outcome, std::move(readable)};
}

}  // namespace quill::cli
