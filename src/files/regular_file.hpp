#pragma once

#include <sys/stat.h>

#include <string>

#include "files/descriptor.hpp"

namespace quill::files {

// A path split into its folder ("." for a bare name) and its last part.
struct PathParts {
    std::string folder;
    std::string name;
};
PathParts splitPath(const std::string& path);

// Opens a folder part by part, each relative to the one before, and follows
// no symbolic link on the way: a link anywhere in the path fails with ELOOP,
// so a folder swapped for a link after it was chosen is never entered. On
// failure the descriptor is invalid and errorNumber says why.
Descriptor openFolderNoFollow(const std::string& folder, int& errorNumber);

// Opens name inside folderFd only when it is a regular file (never through a
// link). A FIFO, device or folder is never opened for use, so nothing can
// block on it; it fails with EACCES, a link with ELOOP. The open itself does
// not wait (O_NONBLOCK), and the type is checked again on the open
// descriptor. info receives the file's status.
Descriptor openRegularFileAt(int folderFd, const std::string& name, int flags, int& errorNumber, struct stat& info);

// The same for a path whose every part is taken as it stands (see
// openFolderNoFollow).
Descriptor openRegularFile(const std::string& path, int flags, int& errorNumber, struct stat& info);

// Writes all bytes at the current position; false on any failure.
bool writeAll(int fd, const char* data, std::size_t size);

}  // namespace quill::files
