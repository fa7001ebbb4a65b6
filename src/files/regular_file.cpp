#include "files/regular_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quill::files {

PathParts splitPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

Descriptor openFolderNoFollow(const std::string& folder, int& errorNumber) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    Descriptor at(::open(!folder.empty() && folder.front() == '/' ? "/" : ".", kFlags));
    for (std::size_t begin = 0; at.valid() && begin < folder.size();) {
        auto end = folder.find('/', begin);
        if (end == std::string::npos) end = folder.size();
        const std::string part = folder.substr(begin, end - begin);
        begin = end + 1;
        if (part.empty() || part == ".") continue;
        at = Descriptor(::openat(at.get(), part.c_str(), kFlags));
    }
    errorNumber = at.valid() ? 0 : errno;
    return at;
}

Descriptor openRegularFileAt(int folderFd, const std::string& name, int flags, int& errorNumber, struct stat& info) {
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        errorNumber = errno;
        return Descriptor();
    }
    if (S_ISLNK(info.st_mode)) {
        errorNumber = ELOOP;
        return Descriptor();
    }
    if (!S_ISREG(info.st_mode)) {
        errorNumber = EACCES;
        return Descriptor();
    }
    Descriptor fd(::openat(folderFd, name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        errorNumber = errno;
        return fd;
    }
    // The name may have been swapped for a FIFO between the look and the open.
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        errorNumber = EACCES;
        return Descriptor();
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    errorNumber = 0;
    return fd;
}

Descriptor openRegularFile(const std::string& path, int flags, int& errorNumber, struct stat& info) {
    const PathParts parts = splitPath(path);
    const Descriptor folder = openFolderNoFollow(parts.folder, errorNumber);
    if (!folder.valid()) return Descriptor();
    return openRegularFileAt(folder.get(), parts.name, flags, errorNumber, info);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const auto written = ::write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace quill::files
