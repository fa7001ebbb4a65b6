#include "files/in_place_write.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

namespace quill::files {

namespace {

// fill(offset, buffer, length) returns how many bytes it placed, or -1.
using Fill = std::function<ssize_t(off_t offset, char* buffer, std::size_t length)>;

int writeThrough(const Fill& fill, off_t size, int targetFd, bool& changed) {
    changed = false;
    struct stat target {};
    if (::fstat(targetFd, &target) != 0) return errno;
    if (size > target.st_size) {
        const int reserved = ::posix_fallocate(targetFd, 0, size);
        // Some file systems cannot reserve; the write then finds out itself.
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) return reserved;
    }
    std::vector<char> buffer(static_cast<std::size_t>(std::min<off_t>(size, 1 << 20)) + 1);
    off_t done = 0;
    while (done < size) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(size - done, static_cast<off_t>(buffer.size())));
        const auto got = fill(done, buffer.data(), want);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0 ? EIO : errno;
        std::size_t put = 0;
        while (put < static_cast<std::size_t>(got)) {
            changed = true;
            const auto written = ::pwrite(targetFd, buffer.data() + put, static_cast<std::size_t>(got) - put,
                                          done + static_cast<off_t>(put));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return written == 0 ? EIO : errno;
            put += static_cast<std::size_t>(written);
        }
        done += got;
    }
    if (size != target.st_size) {
        changed = true;
        if (::ftruncate(targetFd, size) != 0) return errno;
    }
    return ::fsync(targetFd) == 0 ? 0 : errno;
}

}  // namespace

int writeThroughInode(int sourceFd, off_t sourceOffset, int targetFd, off_t size, bool& changed) {
    return writeThrough(
        [sourceFd, sourceOffset](off_t offset, char* buffer, std::size_t length) {
            return ::pread(sourceFd, buffer, length, sourceOffset + offset);
        },
        size, targetFd, changed);
}

int writeThroughInode(std::string_view bytes, int targetFd, bool& changed) {
    return writeThrough(
        [bytes](off_t offset, char* buffer, std::size_t length) {
            const auto from = static_cast<std::size_t>(offset);
            const std::size_t count = std::min(length, bytes.size() - from);
            std::copy_n(bytes.data() + from, count, buffer);
            return static_cast<ssize_t>(count);
        },
        static_cast<off_t>(bytes.size()), targetFd, changed);
}

}  // namespace quill::files
