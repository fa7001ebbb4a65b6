#pragma once

#include <string>

#include "text/string_list.hpp"

namespace quill::files {

// Loads a file with the rules of splitLines. A file that cannot be opened
// raises "Datei %s kann nicht geöffnet werden. %s".
StringList loadStringList(const std::string& path);

}  // namespace quill::files
