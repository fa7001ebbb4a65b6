#pragma once

#include <iosfwd>
#include <string>

#include "cli/site_run.hpp"

namespace quill::cli {

// "geändert: PFAD (N Adressen)", and in a dry run "würde geändert: …"
// followed by the file's unified diff.
std::string changedLine(const FileResult& file, bool dryRun);

// The closing line: the run's message, or in a dry run what would happen.
std::string closingMessage(const SiteRun& run, bool dryRun);

// The changed files, the closing line, then the addresses still readable.
void writeRunText(const SiteRun& run, bool dryRun, std::ostream& out);

// "files": [{"path", "changed", "addresses", "diff"}…], "message", "readable"
// as members of an open object.
class JsonWriter;
void writeRunJsonMembers(const SiteRun& run, bool dryRun, JsonWriter& json);

}  // namespace quill::cli
