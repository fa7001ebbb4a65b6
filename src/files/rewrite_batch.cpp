#include "files/rewrite_batch.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <set>
#include <utility>

#include "files/descriptor.hpp"
#include "files/fault_injection.hpp"
#include "files/in_place_write.hpp"
#include "files/kept_metadata.hpp"
#include "files/kept_original.hpp"
#include "files/regular_file.hpp"
#include "files/shared_sync.hpp"
#include "files/temporary_files.hpp"

namespace quill::files {

namespace {

// Enough to share the syncing well, few enough descriptors and bytes in flight.
constexpr std::size_t kMaxFiles = 128;
constexpr std::size_t kMaxBytes = 64u << 20;

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Records name folders so that a later run in another working folder finds them.
std::string absoluteFolder(const std::string& folder) {
    return folder.front() == '/' ? folder : currentFolder() + "/" + folder;
}

}  // namespace

struct RewriteBatch::Staged {
    std::string path;  // as the caller named it, for messages
    std::string folderPath;
    std::string name;
    Descriptor folder;  // opened without following any link
    struct stat folderInfo {};
    std::string temp;  // our temporary file in folder; empty once it is gone
    Descriptor fd;
    std::unique_ptr<InPlaceRecord> record;  // for a rewrite through the file's inode
    bool exists = false;
    FileStamp expected;  // what the file must still be when it is replaced
    std::string keepAs;
    std::optional<KeptOriginal> kept;  // until it is replaced
    mode_t mode = 0;
    off_t size = 0;

    Staged() = default;
    Staged(const Staged&) = delete;
    Staged& operator=(const Staged&) = delete;
    ~Staged() { dropTemp(); }

    void dropTemp() {
        if (!temp.empty()) ::unlinkat(folder.get(), temp.c_str(), 0);
        temp.clear();
        fd.reset();
    }

    void createTemp(TempJournal& journal) {
        const int fault = injectedFault(FileStep::CreateTemp, path);
        if (fault != 0) throw FileCreateError(createErrorText(path, fault));
        int error = 0;
        fd = createTemporaryFile(folder.get(), temp, error);
        if (!fd.valid()) {
            temp.clear();
            throw FileCreateError(createErrorText(path, error));
        }
        struct stat info {};
        ::fstat(fd.get(), &info);
        journal.note(folderInfo, folderPath, temp, info);
    }

    [[noreturn]] void changed() const { throw FileChangedError(changedErrorText(path)); }
};

RewriteBatch::RewriteBatch() = default;
RewriteBatch::~RewriteBatch() = default;

bool RewriteBatch::holds(const std::string& path) const {
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    for (const auto& item : staged_) {
        if (item->path == path) return true;
        if (exists && item->exists && item->expected.sameFile(info)) return true;
    }
    return false;
}

bool RewriteBatch::keepsAt(const std::string& keepAs) const {
    for (const auto& item : staged_)
        if (item->keepAs == keepAs) return true;
    return false;
}

bool RewriteBatch::full() const {
    return staged_.size() >= kMaxFiles || stagedBytes_ >= kMaxBytes;
}

void RewriteBatch::stage(const std::string& path, std::string_view bytes, std::optional<mode_t> newFileMode,
                         const FileStamp* readAs, std::string keepAs) {
    auto item = std::make_unique<Staged>();
    item->path = path;
    std::string target = path;
    struct stat info {};
    // A link the caller names itself is followed once; a page is never
    // reached through one.
    if (readAs == nullptr && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) target = resolvedPath(path);
    const PathParts parts = splitPath(target);
    int error = 0;
    item->folder = openFolderNoFollow(parts.folder, error);
    if (!item->folder.valid() || ::fstat(item->folder.get(), &item->folderInfo) != 0) {
        if (readAs != nullptr && error == ELOOP) item->changed();
        throw FileCreateError(createErrorText(path, error != 0 ? error : errno));
    }
    item->folderPath = absoluteFolder(parts.folder);
    item->name = parts.name;

    if (::fstatat(item->folder.get(), item->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(info.st_mode) && readAs != nullptr) item->changed();
        if (!S_ISREG(info.st_mode)) throw FileCreateError(createErrorText(path, EACCES));
        if (readAs != nullptr && !readAs->unchangedIn(info)) item->changed();
        // Root may write anything; the owner's write bit still marks a
        // write-protected file, as the read-only attribute does elsewhere.
        if ((info.st_mode & S_IWUSR) == 0 || ::faccessat(item->folder.get(), item->name.c_str(), W_OK, 0) != 0)
            throw FileCreateError(createErrorText(path, EACCES));
        item->exists = true;
        item->expected = readAs != nullptr ? *readAs : FileStamp::of(info);
        item->keepAs = std::move(keepAs);
    } else if (readAs != nullptr) {
        item->changed();
    }

    if (item->exists) {
        struct stat current {};
        const Descriptor old = openRegularFileAt(item->folder.get(), item->name, O_RDONLY, error, current);
        if (!old.valid()) {
            if (error == ELOOP) item->changed();
            throw FileCreateError(createErrorText(path, error));
        }
        if (!item->expected.sameFile(current)) item->changed();
        item->mode = current.st_mode;
        bool inPlace = current.st_nlink > 1;
        if (!inPlace) {
            item->createTemp(journal_);
            inPlace = !copyMetadata(old.get(), current, item->fd.get());
        }
        if (inPlace) {
            // Written through its inode, from a record of new and old bytes.
            item->dropTemp();
            if (const int fault = injectedFault(FileStep::Write, path); fault != 0)
                throw StreamError(writeErrorText(path, fault));
            item->record =
                std::make_unique<InPlaceRecord>(absoluteFolder(target), item->folderInfo, current, bytes, old.get());
        }
    } else {
        item->createTemp(journal_);
        ::fchmod(item->fd.get(), newFileMode.value_or(0666 & ~currentUmask()));
    }

    if (!item->record) {
        if (const int fault = injectedFault(FileStep::Write, path); fault != 0)
            throw StreamError(writeErrorText(path, fault));
        if (!writeAll(item->fd.get(), bytes.data(), bytes.size())) throw StreamError(writeErrorText(path, errno));
        if (const int fault = injectedFault(FileStep::ShortWrite, path); fault != 0)
            throw StreamError(writeErrorText(path, fault));
    }
    item->size = static_cast<off_t>(bytes.size());
    stagedBytes_ += bytes.size();
    staged_.push_back(std::move(item));
}

void RewriteBatch::put(Staged& item) {
    const int fault = injectedFault(FileStep::Rename, item.path);
    if (fault != 0) throw FileCreateError(createErrorText(item.path, fault));
    struct stat now {};
    if (!item.record) {
        // The file read is the file replaced: a link or another file now
        // standing under its name is left alone.
        if (item.exists && (::fstatat(item.folder.get(), item.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
                            !item.expected.unchangedIn(now)))
            item.changed();
        if (::renameat(item.folder.get(), item.temp.c_str(), item.folder.get(), item.name.c_str()) != 0)
            throw FileCreateError(createErrorText(item.path, errno));
        item.temp.clear();
        item.kept.reset();  // stays: the file it keeps is replaced
        return;
    }

    // The record must be durable before the first byte of the file changes.
    item.record->makeDurable();
    int error = 0;
    const Descriptor target = openRegularFileAt(item.folder.get(), item.name, O_WRONLY, error, now);
    if (!target.valid() || !item.expected.unchangedIn(now)) {
        item.record->remove();
        if (!target.valid() && error != ELOOP && error != ENOENT)
            throw FileCreateError(createErrorText(item.path, error));
        item.changed();
    }
    if (const int stop = injectedFault(FileStep::InPlaceWrite, item.path); stop != 0) {
        item.record->remove();
        throw StreamError(writeErrorText(item.path, stop));
    }
    bool changed = false;
    error = writeThroughInode(item.record->fd(), item.record->newBytesAt(), target.get(), item.size, changed);
    if (error != 0) {
        // Half written: the record is the only whole copy, and the next
        // writing run completes the write from it.
        if (changed) {
            item.record->keep();
            item.kept.reset();
        } else {
            item.record->remove();
        }
        throw StreamError(writeErrorText(item.path, error));
    }
    // Writing clears set-ID bits for anyone but root; the owner may set them again.
    const mode_t mode = item.mode & 07777;
    if (::fstat(target.get(), &now) == 0 && (now.st_mode & 07777) != mode) ::fchmod(target.get(), mode);
    item.record->remove();
    item.kept.reset();
}

void RewriteBatch::discard() {
    // Originals kept for files not replaced go again; a link left would tie
    // the file to its backup.
    for (const auto& item : staged_)
        if (item->kept) item->kept->drop();
    staged_.clear();  // removes the temporary files
    journal_.close();
    stagedBytes_ = 0;
}

void RewriteBatch::syncWith(int fd, std::string path) {
    for (const auto& [synced, name] : alsoSynced_)
        if (synced == fd) return;
    alsoSynced_.emplace_back(fd, std::move(path));
}

std::size_t RewriteBatch::keepOriginals(std::size_t count, std::vector<std::pair<int, std::string>>& durable,
                                        std::exception_ptr& error) {
    std::set<std::string> folders;
    for (std::size_t i = 0; i < count; ++i) {
        Staged& item = *staged_[i];
        if (item.keepAs.empty()) continue;
        if (!item.record) {
            // Noted before the link exists: a kill before the page is
            // replaced must not leave the page tied to its backup.
            const PathParts kept = splitPath(item.keepAs);
            struct stat keptFolder {};
            if (::stat(kept.folder.c_str(), &keptFolder) == 0)
                journal_.noteLink(keptFolder, absoluteFolder(kept.folder), kept.name, item.expected.inode,
                                  item.folderInfo, item.folderPath, item.name);
        }
        try {
            item.kept = keepOriginal(item.folder.get(), item.name, item.path, item.expected, !item.record, item.keepAs);
        } catch (const QuillError&) {
            error = std::current_exception();
            return i;
        }
        if (folders.insert(item.kept->folderPath).second)
            durable.emplace_back(item.kept->folder.get(), item.kept->folderPath);
        if (item.kept->copy.valid()) durable.emplace_back(item.kept->copy.get(), item.keepAs);
    }
    return count;
}

void RewriteBatch::commit() {
    std::size_t failing = staged_.size();
    std::exception_ptr error;
    for (std::size_t i = 0; i < staged_.size(); ++i) {
        if (const int injected = injectedFault(FileStep::Sync, staged_[i]->path); injected != 0) {
            failing = i;
            error = std::make_exception_ptr(StreamError(writeErrorText(staged_[i]->path, injected)));
            break;
        }
    }
    // The originals are kept before the one sync, which makes them last with
    // the new files; a file whose original cannot be kept stays as it is.
    std::vector<std::pair<int, std::string>> kept;
    failing = keepOriginals(failing, kept, error);
    std::vector<int> durable;
    for (std::size_t i = 0; i < failing; ++i)
        durable.push_back(staged_[i]->record ? staged_[i]->record->fd() : staged_[i]->fd.get());
    // What the caller keeps about these files must last as they do.
    std::vector<std::pair<int, std::string>> alongside = alsoSynced_;
    alongside.insert(alongside.end(), kept.begin(), kept.end());
    for (const auto& [fd, path] : alongside) durable.push_back(fd);
    // A journal that cannot be synced only leaves a sweep after a kill less to do.
    if (journal_.fd() >= 0) durable.push_back(journal_.fd());
    int number = 0;
    const std::size_t unsynced = syncTogether(durable, number);
    if (unsynced < failing) {
        failing = unsynced;
        error = std::make_exception_ptr(StreamError(writeErrorText(staged_[unsynced]->path, number)));
    } else if (unsynced < failing + alongside.size()) {
        error = std::make_exception_ptr(StreamError(writeErrorText(alongside[unsynced - failing].second, number)));
        failing = 0;
    }
    std::set<std::pair<dev_t, ino_t>> synced;
    for (std::size_t i = 0; i < failing; ++i) {
        try {
            put(*staged_[i]);
        } catch (const QuillError&) {
            failing = i;
            error = std::current_exception();
            break;
        }
    }
    std::vector<int> folders;
    for (std::size_t i = 0; i < failing; ++i) {
        const Staged& item = *staged_[i];
        if (!synced.insert({item.folderInfo.st_dev, item.folderInfo.st_ino}).second) continue;
        // The seam is only a place to stop at; a folder that cannot be synced
        // (some file systems refuse) still holds whole files under either name.
        [[maybe_unused]] const int ignored = injectedFault(FileStep::FolderSync, item.folderPath);
        folders.push_back(item.folder.get());
    }
    [[maybe_unused]] int ignored = 0;
    syncTogether(folders, ignored);
    discard();  // removes the temporary files not put in place
    if (error) std::rethrow_exception(error);
}

}  // namespace quill::files
