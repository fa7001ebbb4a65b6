#pragma once

#include <iosfwd>
#include <string>

#include "cli/site_run.hpp"

namespace quill::cli {

// "geändert: PFAD (N Stellen)", and in a dry run "würde geändert: …"
// followed by the file's unified diff.
std::string changedLine(const FileResult& file, bool dryRun);

// The closing line: the run's message, or in a dry run what would happen.
std::string closingMessage(const SiteRun& run, bool dryRun);

// The changed files, the closing line, then the addresses still readable
// (with verbose those the exceptions accept too).
void writeRunText(const SiteRun& run, bool dryRun, bool verbose, std::ostream& out);

// The whole report object: "format", "totals", "files": [{"path", "changed",
// "places", "diff"}…], "message", "readable" (and with verbose "excepted").
std::string runJsonReport(const SiteRun& run, bool dryRun, bool verbose);

}  // namespace quill::cli
