#pragma once

#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quill::files {

// Our temporary files live beside the file they replace, under short fixed
// names, so that a file name of any length can still be rewritten:
// - ".quill-" and six letters or digits: new contents on their way in;
// - ".quill-inplace-" and an inode number in hex: the synced new contents of
//   a file that is being rewritten through its own inode (hard links, or an
//   owner we cannot give a new file). It stays until that write is synced.
// A live one is locked (flock) by the run that owns it.
std::string temporaryTemplate(const std::string& folder);  // for mkstemp
std::string inPlaceRecordPath(const std::string& folder, ino_t inode);
bool isOurTemporaryName(std::string_view name);

// The folder part of a path, ending in "/" ("./" for a bare name).
std::string folderOf(const std::string& path);

// Clears what a killed run left in folder: an unfinished in-place rewrite is
// completed from its record (which holds the whole new contents), then every
// stale temporary file of ours is removed. Only regular files of our name
// patterns, owned by us and locked by no one, are touched.
void sweepStaleTemporaries(const std::string& folder);

// Sweeps each folder once.
class TemporarySweep {
public:
    void folderOfFile(const std::string& path);
    void folder(const std::string& path);

private:
    std::set<std::string> swept_;
};

}  // namespace quill::files
