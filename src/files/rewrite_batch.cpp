#include "files/rewrite_batch.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/descriptor.hpp"
#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "files/in_place_write.hpp"
#include "files/kept_metadata.hpp"
#include "files/regular_file.hpp"
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

// A link is followed, so the file it points to is rewritten, not the link.
std::string resolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

void syncFolder(const std::string& folder) {
    // The seam is only a place to stop at; a folder that cannot be synced
    // (some file systems refuse) still holds whole files under either name.
    [[maybe_unused]] const int ignored = injectedFault(FileStep::FolderSync, folder);
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) ::fsync(fd.get());
}

}  // namespace

struct RewriteBatch::Staged {
    std::string path;    // as the caller named it, for messages
    std::string target;  // the file itself
    std::string folder;
    std::string temp;  // our temporary file or record; empty once it is gone
    Descriptor fd;
    bool exists = false;
    bool inPlace = false;
    struct stat original {};
    off_t size = 0;

    Staged() = default;
    Staged(const Staged&) = delete;
    Staged& operator=(const Staged&) = delete;
    ~Staged() { dropTemp(); }

    void dropTemp() {
        if (!temp.empty()) ::unlink(temp.c_str());
        temp.clear();
        fd.reset();
    }

    void createTemp() {
        const int fault = injectedFault(FileStep::CreateTemp, path);
        if (fault != 0) throw FileCreateError(createErrorText(path, fault));
        std::string name = temporaryTemplate(folder);
        fd = Descriptor(::mkostemp(name.data(), O_CLOEXEC));
        if (!fd.valid()) throw FileCreateError(createErrorText(path, errno));
        temp = name;
        // Marks it as live for a sweep by another run.
        ::flock(fd.get(), LOCK_EX | LOCK_NB);
    }
};

RewriteBatch::RewriteBatch() = default;
RewriteBatch::~RewriteBatch() = default;

bool RewriteBatch::holds(const std::string& path) const {
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    const std::string target = resolveLink(path);
    for (const auto& item : staged_) {
        if (item->target == target) return true;
        if (exists && item->exists && item->original.st_dev == info.st_dev && item->original.st_ino == info.st_ino)
            return true;
    }
    return false;
}

bool RewriteBatch::full() const { return staged_.size() >= kMaxFiles || stagedBytes_ >= kMaxBytes; }

void RewriteBatch::stage(const std::string& path, std::string_view bytes, std::optional<mode_t> newFileMode) {
    auto item = std::make_unique<Staged>();
    item->path = path;
    item->target = resolveLink(path);
    item->folder = folderOf(item->target);
    struct stat info {};
    if (::stat(item->target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) throw FileCreateError(createErrorText(path, EACCES));
        // Root may write anything; the owner's write bit still marks a
        // write-protected file, as the read-only attribute does elsewhere.
        if ((info.st_mode & S_IWUSR) == 0 || ::access(item->target.c_str(), W_OK) != 0)
            throw FileCreateError(createErrorText(path, EACCES));
        item->exists = true;
        item->original = info;
    }

    item->createTemp();
    if (item->exists) {
        int error = 0;
        struct stat current {};
        const Descriptor old = openRegularFile(item->target, O_RDONLY, error, current);
        if (old.valid()) item->original = current;
        item->inPlace = !old.valid() || current.st_nlink > 1 || !copyMetadata(old.get(), current, item->fd.get());
        if (item->inPlace && old.valid()) {
            // Whatever was copied before the failure goes with a fresh file.
            item->dropTemp();
            item->createTemp();
        }
    } else {
        ::fchmod(item->fd.get(), newFileMode.value_or(0666 & ~currentUmask()));
    }

    if (injectedFault(FileStep::Write, path) != 0) throw StreamError("Stream-Schreibfehler");
    if (!writeAll(item->fd.get(), bytes.data(), bytes.size()) || injectedFault(FileStep::ShortWrite, path) != 0)
        throw StreamError("Stream-Schreibfehler");
    item->size = static_cast<off_t>(bytes.size());
    stagedBytes_ += bytes.size();
    staged_.push_back(std::move(item));
}

void RewriteBatch::put(Staged& item) {
    const int fault = injectedFault(FileStep::Rename, item.path);
    if (fault != 0) throw FileCreateError(createErrorText(item.path, fault));
    if (!item.inPlace) {
        if (::rename(item.temp.c_str(), item.target.c_str()) != 0)
            throw FileCreateError(createErrorText(item.path, errno));
        item.temp.clear();
        return;
    }

    // The record must be durable before the first byte of the file changes.
    const std::string record = inPlaceRecordPath(item.folder, item.original.st_ino);
    if (::rename(item.temp.c_str(), record.c_str()) != 0) throw FileCreateError(createErrorText(item.path, errno));
    item.temp = record;
    syncFolder(item.folder);

    int error = 0;
    struct stat now {};
    const Descriptor target = openRegularFile(item.target, O_WRONLY, error, now);
    if (!target.valid()) throw FileCreateError(createErrorText(item.path, error));
    if (now.st_ino != item.original.st_ino || now.st_dev != item.original.st_dev)
        throw FileCreateError(createErrorText(item.path, EBUSY));
    if (injectedFault(FileStep::InPlaceWrite, item.path) != 0) throw StreamError("Stream-Schreibfehler");
    bool changed = false;
    if (writeThroughInode(item.fd.get(), target.get(), item.size, changed) != 0) {
        // Half written: the record is the only whole copy, and the next
        // run that visits the folder completes the write from it.
        if (changed) {
            item.temp.clear();
            item.fd.reset();
        }
        throw StreamError("Stream-Schreibfehler");
    }
    // Writing clears set-ID bits for anyone but root; the owner may set them again.
    if (::fstat(target.get(), &now) == 0 && (now.st_mode & 07777) != (item.original.st_mode & 07777))
        ::fchmod(target.get(), item.original.st_mode & 07777);
    item.dropTemp();
}

void RewriteBatch::commit() {
    std::size_t failing = staged_.size();
    std::exception_ptr error;
#ifdef __linux__
    // Starts every file's writeback at once, so the syncs below share the
    // device's work instead of waiting for it one file after the other.
    for (const auto& item : staged_) ::sync_file_range(item->fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    for (std::size_t i = 0; i < staged_.size(); ++i) {
        if (injectedFault(FileStep::Sync, staged_[i]->path) != 0 || ::fsync(staged_[i]->fd.get()) != 0) {
            failing = i;
            error = std::make_exception_ptr(StreamError("Stream-Schreibfehler"));
            break;
        }
    }
    std::set<std::string> folders;
    for (std::size_t i = 0; i < failing; ++i) {
        try {
            put(*staged_[i]);
            folders.insert(staged_[i]->folder);
        } catch (const QuillError&) {
            failing = i;
            error = std::current_exception();
            break;
        }
    }
    for (const auto& folder : folders) syncFolder(folder);
    staged_.clear();  // removes the temporary files not put in place
    stagedBytes_ = 0;
    if (error) std::rethrow_exception(error);
}

}  // namespace quill::files
