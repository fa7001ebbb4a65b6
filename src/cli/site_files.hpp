#pragma once

#include <string>

#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill::cli {

// The masks used when none are given: "*.htm" and "*.html".
StringList defaultMasks();

// The files of the operands as the window's folder search and file choice
// find them: a folder is searched with each mask in turn (masks are code page
// 1252; sub-folders when includeSubfolders), anything else is taken as a
// chosen file. A file that two masks or operands list is kept once,
// at its first place. A folder in which no mask finds a file raises a
// UsageError, so a gate cannot pass by checking nothing; a mask without a
// wildcard gets a hint ("Meinten Sie *.html?").
StringList collectSiteFiles(const StringList& operands, const StringList& masks, bool includeSubfolders,
                            RunObserver* observer);

}  // namespace quill::cli
