#pragma once

#include <sys/types.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_io.hpp"
#include "files/rewrite_journal.hpp"

namespace quill::files {

// Rewrites files so that none is ever seen short, with the syncing shared by
// many files: stage() writes each file's new contents to a temporary file
// beside it; commit() syncs them all together, then puts them in place in the
// order they were staged and syncs their folders.
//
// Every file is reached through its folder, opened without following any
// link, and the file replaced must be the file staged (same device and inode)
// and, for a page read by the run, unchanged since that read (size,
// modification and change time); otherwise it is left alone and named
// ("Die Datei %s wurde während des Laufs verändert und deshalb nicht
// ersetzt."). Temporary files are created exclusively under unpredictable
// names and noted in the user's private state folder (rewrite_journal.hpp),
// so a sweep after a kill removes exactly them.
//
// A file normally takes its temporary file's place in one rename, which
// keeps its mode (set-ID bits too), owner, group, ACLs and extended
// attributes. A file with several hard links, or one whose owner or
// attributes a new file cannot be given, is written through its own inode
// instead, from a record in the state folder that holds its new and old
// bytes and is synced first, so a kill leaves a whole copy, and the next
// writing run finishes the write from it.
//
// Failures: the first failing file's error is raised ("Datei "%s" kann nicht
// erstellt werden. %s", "Stream-Schreibfehler in Datei "%s": %s", or the
// changed file); the files staged before it are in place, it and the ones
// after it are untouched, and no temporary file is left.
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
    // A file waits in this batch to be kept at keepAs when it is replaced.
    bool keepsAt(const std::string& keepAs) const;

    // readAs: the page as the run read it; no link is followed then. Without
    // it a link named by path is followed once: the file it points to is
    // rewritten. A missing file is created with newFileMode (default 0666
    // less the umask). A file that is not regular, or write-protected, is
    // refused untouched. keepAs: where the file replaced is kept at commit,
    // before anything is synced (see kept_original.hpp); a file that cannot
    // be kept is not replaced, and its error ends the commit there.
    void stage(const std::string& path, std::string_view bytes, std::optional<mode_t> newFileMode = std::nullopt,
               const FileStamp* readAs = nullptr, std::string keepAs = {});
    void commit();
    // Drops what waits; nothing of it is put in place.
    void discard();
    // fd (at path, for messages) is synced with the files of every commit,
    // which fails when it cannot be: a log of what the batch replaces. A
    // descriptor given again is synced once.
    void syncWith(int fd, std::string path);

private:
    struct Staged;
    void put(Staged& item);
    std::size_t keepOriginals(std::size_t count, std::vector<std::pair<int, std::string>>& durable,
                              std::exception_ptr& error);
    TempJournal journal_;  // outlives the temporary files it names
    std::vector<std::unique_ptr<Staged>> staged_;
    std::size_t stagedBytes_ = 0;
    std::vector<std::pair<int, std::string>> alsoSynced_;
};

}  // namespace quill::files
