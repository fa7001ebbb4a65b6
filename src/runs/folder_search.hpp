#pragma once

#include <string>

#include "runs/run_progress.hpp"
#include "text/quill_error.hpp"
#include "text/string_list.hpp"

namespace quill {

// A walk that could not look everywhere: "Nicht alles im gewählten
// Verzeichnis konnte durchsucht werden:" and one line per place.
class SearchIncompleteError : public QuillError {
public:
    using QuillError::QuillError;
};

// pathWithMask is a folder, "/" and a mask (UTF-8). Appends folder + name of
// every matching file to foundFiles, and with includeSubfolders those of the
// subfolders, depth-first, a folder's files before its subfolders'.
// - The walk goes from folder to folder by descriptor and follows no link on
//   its way down. Only regular files are listed. A link to a file inside the
//   chosen folder is listed by its target's path; a link that leads out of
//   it is skipped and named. Names beginning with "." count as hidden and
//   are listed, but the run's own temporary files are not. A path
// foundFiles holds already (found by another mask) is not listed again.
// - Folders whose names begin with "." are not entered, nor are links to
//   folders, so no walk can loop back into a parent folder.
// - The entries of each folder are taken by name with letter case ignored,
//   so that runs repeat.
// - The walk only reads: it writes, renames and deletes nothing.
// A folder that does not exist lists nothing. A folder or file that cannot be
// read, and a link that leads out, is named in skipped; without skipped the
// walk raises SearchIncompleteError at its end, the files found staying
// listed. The observer hears of every folder entered and file listed; a
// cancel ends the walk at once with RunCancelled.
void Dateien_suchen(const std::string& pathWithMask, bool includeSubfolders, StringList& foundFiles,
                    RunObserver* observer = nullptr, StringList* skipped = nullptr);

// Raises SearchIncompleteError naming what was skipped (the first 20), if any.
void throwIfSkipped(const StringList& skipped);

}  // namespace quill
