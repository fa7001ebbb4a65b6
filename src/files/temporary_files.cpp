#include "files/temporary_files.hpp"

#include <fcntl.h>

#include <cerrno>

#include "files/state_folder.hpp"

namespace quill::files {

namespace {

constexpr std::string_view kPrefix = ".quill-";
constexpr std::size_t kRandomLength = 12;

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool isOurTemporaryName(std::string_view name) {
    if (name.substr(0, kPrefix.size()) != kPrefix) return false;
    const auto tail = name.substr(kPrefix.size());
    if (tail.size() != kRandomLength) return false;
    for (char c : tail)
        if (!isAlnum(c)) return false;
    return true;
}

Descriptor createTemporaryFile(int folderFd, std::string& name, int& errorNumber) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = unpredictableName(std::string(kPrefix));
        Descriptor fd(::openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.valid() || errno != EEXIST) {
            errorNumber = fd.valid() ? 0 : errno;
            return fd;
        }
    }
    errorNumber = EEXIST;
    return Descriptor();
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace quill::files
