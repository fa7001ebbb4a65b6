#pragma once

#include <string>

#include "files/descriptor.hpp"
#include "files/file_io.hpp"

namespace quill::files {

// A file kept before it is replaced: its folder and, when it was copied, the
// copy, both to be synced for it to last.
struct KeptOriginal {
    std::string folderPath;  // for sharing one sync among many
    Descriptor folder;
    std::string name;
    Descriptor copy;  // invalid for a link

    // Removes what was kept: the file was not replaced after all.
    void drop();
};

// Keeps the file name in folderFd (path, for messages), which must still be
// as expected says, at keepAs (a new name; its folder exists) just before it
// is replaced. When the file is to be replaced by a rename, keepAs becomes a
// second link to it: nothing is written, and once the rename is done the
// link is the only name of the original bytes. Where no link can be made
// (another file system, a file the user may not link) or the file is to be
// written through its own inode, its bytes are copied. expected takes the
// file's new change time, which the link moved. Raises FileChangedError when
// the file is not as expected, FileCreateError or StreamError naming keepAs
// when it cannot be kept; keepAs is then left absent.
KeptOriginal keepOriginal(int folderFd, const std::string& name, const std::string& path, FileStamp& expected,
                          bool mayLink, const std::string& keepAs);

}  // namespace quill::files
