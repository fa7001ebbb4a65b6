#include "files/kept_metadata.hpp"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace quill::files {

namespace {

// Reads a size-probed list or value; false on failure.
template <class Call>
bool readSized(std::vector<char>& buffer, Call call) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const auto size = call(nullptr, 0);
        if (size < 0) return false;
        buffer.resize(static_cast<std::size_t>(size));
        if (size == 0) return true;
        const auto got = call(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;  // grew in between: probe again
    }
    return false;
}

// names is a list of NUL-terminated names.
bool hasName(const std::vector<char>& names, const std::string& name) {
    for (std::size_t at = 0; at < names.size();) {
        const std::string_view entry(names.data() + at);
        if (entry == name) return true;
        at += entry.size() + 1;
    }
    return false;
}

bool copyAttributes(int fromFd, int toFd) {
    std::vector<char> names;
    if (!readSized(names, [fromFd](char* data, std::size_t size) { return ::flistxattr(fromFd, data, size); }))
        return errno == ENOTSUP;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const std::string name(names.data() + at);
        at += name.size() + 1;
        if (!readSized(value,
                       [&](char* data, std::size_t size) { return ::fgetxattr(fromFd, name.c_str(), data, size); }))
            return false;
        if (::fsetxattr(toFd, name.c_str(), value.data(), value.size(), 0) != 0) return false;
    }
    // The new file may have inherited attributes the old one lacked, such as
    // the folder's default ACL.
    std::vector<char> inherited;
    if (!readSized(inherited, [toFd](char* data, std::size_t size) { return ::flistxattr(toFd, data, size); }))
        return errno == ENOTSUP;
    for (std::size_t at = 0; at < inherited.size();) {
        const std::string name(inherited.data() + at);
        at += name.size() + 1;
        if (!hasName(names, name) && ::fremovexattr(toFd, name.c_str()) != 0) return false;
    }
    return true;
}

}  // namespace

bool copyMetadata(int fromFd, const struct stat& original, int toFd) {
    // Owner first: a change of owner clears set-ID bits, the mode comes last.
    if (::fchown(toFd, original.st_uid, original.st_gid) != 0) return false;
    if (!copyAttributes(fromFd, toFd)) return false;
    if (::fchmod(toFd, original.st_mode & 07777) != 0) return false;
    struct stat copy {};
    // The system may drop a set-group-ID bit silently.
    return ::fstat(toFd, &copy) == 0 && copy.st_uid == original.st_uid && copy.st_gid == original.st_gid &&
           (copy.st_mode & 07777) == (original.st_mode & 07777);
}

}  // namespace quill::files
