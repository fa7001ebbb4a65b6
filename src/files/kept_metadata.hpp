#pragma once

#include <sys/stat.h>

namespace quill::files {

// Gives the new file toFd what the old file fromFd (whose status is original)
// was besides its bytes: owner and group, extended attributes (POSIX ACLs
// among them) and the mode with its set-ID bits. False when any of it could
// not be given exactly, for instance another user's owner, so the caller
// rewrites through the old inode instead and loses nothing.
bool copyMetadata(int fromFd, const struct stat& original, int toFd);

}  // namespace quill::files
