#pragma once

#include <functional>
#include <string>
#include <vector>

#include "addresses/address_audit.hpp"
#include "runs/exception_list.hpp"
#include "runs/local_run.hpp"

namespace quill::cli {

// One file as the output names it. The run keeps no bytes of it: the diff is
// made while the file's old and new bytes are in hand, and only when asked.
struct FileResult {
    std::string path;
    std::size_t places = 0;  // places replaced, those of --all included
    bool changed = false;
    std::string diff;  // unified diff, when diffs were asked for
};

struct SiteRun {
    std::vector<FileResult> files;
    RunOutcome outcome;
    // The audit of the files as the run left them (or would leave them),
    // split by the exceptions.
    AuditSplit readable;
};

struct SiteRunOptions {
    bool trial = false;
    bool protectAll = false;
    bool diffs = false;
    ExceptionList exceptions;
    RunObserver* observer = nullptr;
    // The backup's hooks; not in a trial.
    RewriteHooks backup{};
};

// "Verzeichnis kodieren" over paths: scan every file, rewrite them all,
// report. A trial run scans the same files and rewrites copies of them in a
// scratch folder instead (with the same permissions, so a write-protected
// file fails there too): the very procedure, so the prediction is exact.
// The paths are distinct (collectSiteFiles).
SiteRun encodeSiteFiles(const StringList& paths, const SiteRunOptions& options);

}  // namespace quill::cli
