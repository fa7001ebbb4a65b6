#pragma once

#include <string>

#include "text/string_list.hpp"

namespace quill {

// The list of file masks, one per line, in the working folder.
std::string extensionListPath();

// Raises "Datei %s kann nicht geöffnet werden. %s" when the file is missing.
StringList loadExtensionList();

// Writes the list, every mask followed by CR LF. Adding or removing one mask
// changes only that line of the file and keeps every other byte, those
// behind a NUL byte too. A UTF-16 file is refused rather than ruined; with a
// folder that takes no new file, a writable file is written in place.
// Raises "Datei "%s" kann nicht erstellt werden. %s" when it cannot be saved.
void saveExtensionList(const StringList& masks);

}  // namespace quill
