#pragma once

#include <sys/types.h>

#include <string_view>

namespace quill::files {

// Writing a file through its own inode keeps its other names, owner, ACLs
// and attributes. Space is reserved first, so a full disk fails before any
// byte changes; the file is then cut to the new size and synced.
// Each returns 0 or the errno value; changed tells whether the file may
// already be altered.

// The new contents are size bytes of sourceFd from sourceOffset on (a synced copy).
int writeThroughInode(int sourceFd, off_t sourceOffset, int targetFd, off_t size, bool& changed);
// The new contents are in memory.
int writeThroughInode(std::string_view bytes, int targetFd, bool& changed);

}  // namespace quill::files
