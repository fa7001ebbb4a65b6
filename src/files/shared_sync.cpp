#include "files/shared_sync.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace quill::files {

namespace {

#ifdef __linux__
// File systems whose syncfs writes every file and folder and flushes the
// device, as fsync does for one file. Others (network and user-space file
// systems among them) are synced file by file.
bool syncsAsFsyncDoes(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) return false;
    switch (info.f_type) {
        case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            return true;
        default:
            return false;
    }
}
#endif

}  // namespace

std::size_t syncTogether(const std::vector<int>& fds, int& error) {
    std::vector<std::size_t> oneByOne;
#ifdef __linux__
    // Starts every file's writeback at once, so the device works on all of them together.
    for (const int fd : fds) ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    std::map<dev_t, std::vector<std::size_t>> byDevice;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        struct stat info {};
        if (::fstat(fds[i], &info) == 0)
            byDevice[info.st_dev].push_back(i);
        else
            oneByOne.push_back(i);
    }
    for (const auto& [device, members] : byDevice) {
        const int first = fds[members.front()];
        if (syncsAsFsyncDoes(first) && ::syncfs(first) == 0) continue;
        // Synced one by one, which also names the file that failed.
        oneByOne.insert(oneByOne.end(), members.begin(), members.end());
    }
#else
    for (std::size_t i = 0; i < fds.size(); ++i) oneByOne.push_back(i);
#endif
    std::size_t failing = fds.size();
    for (const std::size_t i : oneByOne) {
        if (i < failing && ::fsync(fds[i]) != 0) {
            failing = i;
            error = errno != 0 ? errno : EIO;
        }
    }
    return failing;
}

}  // namespace quill::files
