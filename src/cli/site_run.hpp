#pragma once

#include <string>
#include <vector>

#include "addresses/address_audit.hpp"
#include "runs/encoding_runs.hpp"

namespace quill::cli {

struct FileResult {
    std::string path;
    std::string before;
    std::string after;
    std::size_t places = 0;  // places replaced, those of --all included
    bool changed() const { return before != after; }
};

struct SiteRun {
    std::vector<FileResult> files;
    RunOutcome outcome;
    // The audit of the files as the run left them (or would leave them),
    // split by runs.exceptions.
    AuditSplit readable;
};

// "Verzeichnis kodieren" over runs.foundFiles: scan every file, rewrite them
// all, report. A trial run scans the same files and rewrites copies of them in
// a scratch folder instead (with the same permissions, so a write-protected
// file fails there too): the very procedure, so the prediction is exact.
// progress hears the scan; runs.observer the other steps. runs.beforeWrite
// hears each real file before it changes (never the trial's copies).
SiteRun encodeSiteFiles(EncodingRuns& runs, bool trial, RunObserver& progress);

}  // namespace quill::cli
