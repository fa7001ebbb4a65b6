#pragma once

#include <cstddef>
#include <vector>

namespace quill::files {

// Makes the files and folders behind fds durable. Each fsync flushes the
// device's cache, which costs milliseconds whenever other work writes to the
// same disk; where the file system's own sync is as strong as fsync for every
// file on it, one such sync per file system does for all of them.
// Returns the index of the first descriptor that could not be synced, with
// its errno in error, or fds.size() when all were.
std::size_t syncTogether(const std::vector<int>& fds, int& error);

}  // namespace quill::files
