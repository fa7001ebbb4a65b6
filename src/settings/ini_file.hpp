#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/quill_error.hpp"

namespace quill {

// "In %s kann nicht geschrieben werden"
class SettingsWriteError : public QuillError {
public:
    using QuillError::QuillError;
};

// An INI file read and written one key at a time, opened and released within
// each call, as the desktop's profile functions do it:
// - a missing file, section or key reads as the default;
// - section and key names match without regard to letter case;
// - values lose the blanks around them and one pair of enclosing quotes, a
//   default loses its trailing blanks, and at most 2047 characters come back;
// - the first write creates the file (owner-only access, since it may hold a
//   password), a missing section is appended, an existing key is replaced in
//   place; the file is replaced in one step, never left half-written.
// A write changes one line and keeps every other byte, also those behind a
// NUL byte (which reading never gets to). A UTF-16 file is refused rather
// than ruined. When the folder takes no new file but the file may be
// written, the file is written in place. A FIFO or other non-regular file
// counts as a file that cannot be opened.
class IniFile {
public:
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }

    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Several keys of one section in one replace of the file: a kill leaves
    // all of them old or all new.
    using KeyValue = std::pair<std::string, std::string>;
    void writeStrings(std::string_view section, const std::vector<KeyValue>& entries);

private:
    std::string path_;
};

// A value as the file gives it back: without the blanks around it and one
// pair of enclosing quotes, at most 2047 characters.
std::string profileValue(std::string_view raw);

}  // namespace quill
