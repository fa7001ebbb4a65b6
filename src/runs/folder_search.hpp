#pragma once

#include <string>

#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill {

// pathWithMask is a folder, "/" and a mask (UTF-8). Appends folder + name of
// every matching file to foundFiles, and with includeSubfolders those of the
// subfolders, depth-first, a folder's files before its subfolders'. A path
// foundFiles holds already (found by another mask) is not listed again.
// - Only regular files are listed (a link to one counts); names beginning with
//   "." count as hidden and are listed, but the run's own temporary files are
//   not, and stale ones that a killed run left are cleared from every folder
//   visited.
// - Folders whose names begin with "." are not entered, nor are links to
//   folders, so no walk can loop back into a parent folder.
// - The entries of each folder are taken by name with letter case ignored,
//   so that runs repeat.
// A folder that does not exist or cannot be read lists nothing. The observer
// hears of every folder entered and file listed; a cancel ends the walk at
// once with RunCancelled, the files listed so far staying listed.
void Dateien_suchen(const std::string& pathWithMask, bool includeSubfolders, StringList& foundFiles,
                    RunObserver* observer = nullptr);

}  // namespace quill
