#pragma once

#include <string>
#include <vector>

#include "encoding/encoding_runs.hpp"

namespace quill::cli {

struct FileResult {
    std::string path;
    std::string before;
    std::string after;
    std::size_t addresses = 0;  // mailto links the scan found in this file
    bool changed() const { return before != after; }
};

struct SiteRun {
    std::vector<FileResult> files;
    RunOutcome outcome;
};

// "Verzeichnis kodieren" over runs.foundFiles: scan every file, rewrite them
// all, report. A dry run scans the same way and computes each file's new
// bytes in memory instead of writing them.
SiteRun encodeSiteFiles(EncodingRuns& runs, bool dryRun);

}  // namespace quill::cli
