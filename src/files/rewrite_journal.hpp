#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "files/descriptor.hpp"

namespace quill::files {

// What a run must tell its successor lives in the user's private state folder
// (state_folder.hpp), never in a web folder: a file there could be planted.
// A live record is locked (flock) by the run that owns it.

// The temporary files of one batch, each noted before a byte goes into it,
// so that a sweep after a kill removes exactly these (same folder, same name,
// same inode, ours) and nothing else; and the links it made to keep originals. Without a state folder nothing is
// noted, and a temporary file a kill leaves stays.
class TempJournal {
public:
    TempJournal() = default;
    ~TempJournal() { close(); }
    TempJournal(const TempJournal&) = delete;
    TempJournal& operator=(const TempJournal&) = delete;

    void note(const struct stat& folder, const std::string& folderPath, const std::string& name,
              const struct stat& temp);
    // A second link (name in folder) to the page pageName in pageFolder,
    // made to keep its original: a sweep removes it while the page still
    // names the same file, that is when the page was never replaced.
    void noteLink(const struct stat& folder, const std::string& folderPath, const std::string& name, ino_t inode,
                  const struct stat& pageFolder, const std::string& pageFolderPath, const std::string& pageName);
    int fd() const { return fd_.get(); }
    // Every file noted is gone or in place.
    void close();

private:
    bool open();
    Descriptor state_;
    Descriptor fd_;
    std::string name_;
};

// The record of a rewrite through a file's own inode: which file (device,
// inode, folder, path), its new bytes and its old bytes. It is synced before
// the file's first byte changes, and removed once the write is synced. A
// record left by a kill is finished only while the file still holds the old
// bytes, the new ones, or new ones over old ones as a torn write leaves them.
class InPlaceRecord {
public:
    // Raises StateFolderError without a state folder: such a rewrite must
    // not start without its record.
    InPlaceRecord(const std::string& path, const struct stat& folder, const struct stat& file,
                  std::string_view newBytes, int oldFd);
    ~InPlaceRecord() { keep(); }
    InPlaceRecord(const InPlaceRecord&) = delete;
    InPlaceRecord& operator=(const InPlaceRecord&) = delete;

    int fd() const { return fd_.get(); }
    off_t newBytesAt() const { return newAt_; }
    // Syncs the state folder, so the record survives a crash.
    void makeDurable();
    // The write is synced: the record goes.
    void remove();
    // The write failed halfway: the record, the only whole copy, stays for
    // the next run.
    void keep();

private:
    Descriptor state_;
    std::string name_;  // before fd_: creating the record names it
    Descriptor fd_;
    off_t newAt_ = 0;
};

// Finishes what killed runs of this user left: completes the in-place
// rewrites whose files still qualify, drops records whose files have moved
// on (deleted, replaced, changed by someone), and removes the temporary files
// that unlocked journals name. A completion that fails raises the write's
// error naming the file, and its record stays.
void finishInterruptedRewrites();

}  // namespace quill::files
