#include "files/regular_file.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quill::files {

Descriptor openRegularFile(const std::string& path, int flags, int& errorNumber, struct stat& info) {
    if (::stat(path.c_str(), &info) != 0) {
        errorNumber = errno;
        return Descriptor();
    }
    if (!S_ISREG(info.st_mode)) {
        errorNumber = EACCES;
        return Descriptor();
    }
    Descriptor fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        errorNumber = errno;
        return fd;
    }
    // The name may have been swapped for a FIFO between stat and open.
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        errorNumber = EACCES;
        return Descriptor();
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    errorNumber = 0;
    return fd;
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
