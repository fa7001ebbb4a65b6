#include "files/kept_original.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/fault_injection.hpp"
#include "files/regular_file.hpp"

namespace quill::files {

namespace {

// The link names the file expected: the same inode with the same bytes.
bool linksExpected(const struct stat& linked, const FileStamp& expected) {
    return expected.sameFile(linked) && linked.st_size == expected.size &&
           linked.st_mtim.tv_sec == expected.modified.tv_sec && linked.st_mtim.tv_nsec == expected.modified.tv_nsec;
}

// Copies size bytes; 0 or the errno of the failure.
int copyBytes(int from, int to, off_t size) {
    off_t done = 0;
    bool plain = false;
    char buffer[1 << 16];
    while (done < size) {
        ssize_t moved = -1;
        if (!plain) {
            moved = ::copy_file_range(from, nullptr, to, nullptr, static_cast<std::size_t>(size - done), 0);
            if (moved < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                plain = true;
                continue;
            }
        } else {
            const ssize_t got = ::read(from, buffer, sizeof buffer);
            if (got > 0 && !writeAll(to, buffer, static_cast<std::size_t>(got))) return errno != 0 ? errno : EIO;
            moved = got;
        }
        if (moved < 0 && errno == EINTR) continue;
        if (moved < 0) return errno;
        if (moved == 0) return EIO;  // shorter than it was
        done += moved;
    }
    return 0;
}

}  // namespace

KeptOriginal keepOriginal(int folderFd, const std::string& name, const std::string& path, FileStamp& expected,
                          bool mayLink, const std::string& keepAs) {
    const PathParts kept = splitPath(keepAs);
    KeptOriginal result;
    result.folderPath = kept.folder;
    result.name = kept.name;
    result.folder = Descriptor(::open(kept.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int keptFolder = result.folder.get();
    if (keptFolder < 0) throw FileCreateError(createErrorText(keepAs, errno));
    struct stat now {};
    if (::fstatat(folderFd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || !expected.unchangedIn(now))
        throw FileChangedError(changedErrorText(path));

    if (mayLink) {
        int failure = injectedFault(FileStep::Link, keepAs);
        if (failure == 0 && ::linkat(folderFd, name.c_str(), keptFolder, kept.name.c_str(), 0) != 0) failure = errno;
        if (failure == 0) {
            struct stat linked {};
            if (::fstatat(keptFolder, kept.name.c_str(), &linked, AT_SYMLINK_NOFOLLOW) != 0 ||
                !linksExpected(linked, expected)) {
                // Another file took the name between the look and the link.
                ::unlinkat(keptFolder, kept.name.c_str(), 0);
                throw FileChangedError(changedErrorText(path));
            }
            expected = FileStamp::of(linked);
            return result;
        }
        if (failure == EEXIST) throw FileCreateError(createErrorText(keepAs, failure));
    }

    int error = 0;
    struct stat info {};
    const Descriptor original = openRegularFileAt(folderFd, name, O_RDONLY, error, info);
    if (!original.valid() || !expected.unchangedIn(info)) throw FileChangedError(changedErrorText(path));
    Descriptor copy(
        ::openat(keptFolder, kept.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!copy.valid()) throw FileCreateError(createErrorText(keepAs, errno));
    error = injectedFault(FileStep::Write, keepAs);
    if (error == 0) error = copyBytes(original.get(), copy.get(), expected.size);
    if (error == 0 && (::fstat(original.get(), &info) != 0 || !expected.unchangedIn(info))) {
        ::unlinkat(keptFolder, kept.name.c_str(), 0);
        throw FileChangedError(changedErrorText(path));
    }
    if (error != 0) {
        ::unlinkat(keptFolder, kept.name.c_str(), 0);
        throw StreamError(writeErrorText(keepAs, error));
    }
    result.copy = std::move(copy);
    return result;
}

void KeptOriginal::drop() {
    if (folder.valid()) ::unlinkat(folder.get(), name.c_str(), 0);
    copy.reset();
    folder.reset();
}

}  // namespace quill::files
