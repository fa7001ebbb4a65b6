#pragma once

#include <string>
#include <sys/stat.h>

#include "files/descriptor.hpp"

namespace quill::files {

// Opens path (a link is followed) only when it names a regular file. A FIFO,
// device or folder is never opened for use, so nothing can block on it; it
// fails with EACCES. The open itself does not wait (O_NONBLOCK), and the type
// is checked again on the open descriptor. On failure the descriptor is
// invalid and errorNumber says why; info receives the file's status.
Descriptor openRegularFile(const std::string& path, int flags, int& errorNumber, struct stat& info);

// Writes all bytes at the current position; false on any failure.
bool writeAll(int fd, const char* data, std::size_t size);

}  // namespace quill::files
