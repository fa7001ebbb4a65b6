#pragma once

#include <string>

#include "text/string_list.hpp"

namespace quill {

// The list of file masks, one per line, in the working folder.
std::string extensionListPath();

// Raises "Datei %s kann nicht geöffnet werden. %s" when the file is missing.
StringList loadExtensionList();

// Raises "Datei "%s" kann nicht erstellt werden. %s" when it cannot be saved.
void saveExtensionList(const StringList& masks);

}  // namespace quill
