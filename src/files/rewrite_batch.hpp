#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace quill::files {

// Rewrites files so that none is ever seen short, with the syncing shared by
// many files: stage() writes each file's new contents to a temporary file
// beside it; commit() syncs them all together, then puts them in place in the
// order they were staged and syncs their folders.
//
// A file normally takes its temporary file's place in one rename, which
// keeps its mode (set-ID bits too), owner, group, ACLs and extended
// attributes. A file with several hard links, or one whose owner or
// attributes a new file cannot be given, is written through its own inode
// instead, from the synced temporary file; that file is renamed to a record
// first and kept until the write is synced, so a kill leaves a whole copy,
// and the next run that visits the folder finishes the write from it.
//
// Failures: the first failing file's error is raised (as the rename would
// raise it: "Datei "%s" kann nicht erstellt werden. %s", or
// "Stream-Schreibfehler"); the files staged before it are in place, it and
// the ones after it are untouched, and no temporary file is left.
class RewriteBatch {
public:
    RewriteBatch();
    ~RewriteBatch();
    RewriteBatch(const RewriteBatch&) = delete;
    RewriteBatch& operator=(const RewriteBatch&) = delete;

    // The file at path waits in this batch already (same file, any name).
    bool holds(const std::string& path) const;
    // Enough waits that the batch should be committed before more is staged.
    bool full() const;
    bool empty() const { return staged_.empty(); }

    // A link is followed: the file it points to is rewritten. A missing file
    // is created with newFileMode (default 0666 less the umask). A file that
    // is not regular, or write-protected, is refused untouched.
    void stage(const std::string& path, std::string_view bytes, std::optional<mode_t> newFileMode = std::nullopt);
    void commit();

private:
    struct Staged;
    void put(Staged& item);
    std::vector<std::unique_ptr<Staged>> staged_;
    std::size_t stagedBytes_ = 0;
};

}  // namespace quill::files
