#include "files/string_list_file.hpp"

#include "files/file_io.hpp"

namespace quill::files {

StringList loadStringList(const std::string& path) {
    return splitLines(readWholeFile(path));
}

}  // namespace quill::files
