#pragma once

#include <string>
#include <vector>

#include "files/descriptor.hpp"
#include "text/quill_error.hpp"

namespace quill::files {

// "Das Verzeichnis %s wird gerade von einem anderen Lauf bearbeitet. ..."
class FolderBusyError : public QuillError {
public:
    using QuillError::QuillError;
};

// Keeps every other run (window, command line, any user) out of the folders
// of a run's files while the run lasts, so two runs never interleave their
// reads and replaces. The folders themselves are locked (flock), so nothing
// is written into them for it. A folder that another run holds is refused
// before anything is done; a folder that cannot be opened is left to the
// file's own error.
class FolderLocks {
public:
    explicit FolderLocks(const std::vector<std::string>& paths);

private:
    std::vector<Descriptor> held_;
};

}  // namespace quill::files
