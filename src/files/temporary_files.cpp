#include "files/temporary_files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/descriptor.hpp"
#include "files/in_place_write.hpp"

namespace quill::files {

namespace {

constexpr std::string_view kPrefix = ".quill-";
constexpr std::string_view kInPlacePrefix = ".quill-inplace-";

bool isAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

bool allOf(std::string_view text, bool (*test)(char)) {
    for (char c : text)
        if (!test(c)) return false;
    return true;
}

bool isInPlaceRecordName(std::string_view name) {
    if (name.substr(0, kInPlacePrefix.size()) != kInPlacePrefix) return false;
    const auto hex = name.substr(kInPlacePrefix.size());
    return !hex.empty() && hex.size() <= 16 && allOf(hex, isHex);
}

std::string withSlash(std::string folder) {
    if (folder.empty()) return "./";
    if (folder.back() != '/') folder += '/';
    return folder;
}

// The file of folder whose inode the record names, opened for writing.
Descriptor recordTarget(const std::string& folder, const struct stat& record, ino_t inode) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return Descriptor();
    Descriptor found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (isOurTemporaryName(name) || name == "." || name == "..") continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(info.st_mode) || info.st_ino != inode || info.st_dev != record.st_dev) continue;
        found = Descriptor(::openat(::dirfd(dir), entry->d_name, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
        break;
    }
    ::closedir(dir);
    return found;
}

void sweepOne(const std::string& folder, const std::string& name) {
    const std::string path = folder + name;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.valid()) return;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) return;
    // A run that is still writing holds the lock.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return;
    if (isInPlaceRecordName(name)) {
        const auto inode = static_cast<ino_t>(std::strtoull(name.c_str() + kInPlacePrefix.size(), nullptr, 16));
        Descriptor target = recordTarget(folder, info, inode);
        if (target.valid()) {
            bool changed = false;
            // Without a completed write the record must stay: it is the only whole copy.
            if (writeThroughInode(fd.get(), target.get(), info.st_size, changed) != 0) return;
        }
    }
    ::unlink(path.c_str());
}

}  // namespace

std::string temporaryTemplate(const std::string& folder) { return withSlash(folder) + std::string(kPrefix) + "XXXXXX"; }

std::string inPlaceRecordPath(const std::string& folder, ino_t inode) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(inode));
    return withSlash(folder) + std::string(kInPlacePrefix) + hex;
}

bool isOurTemporaryName(std::string_view name) {
    if (isInPlaceRecordName(name)) return true;
    if (name.substr(0, kPrefix.size()) != kPrefix) return false;
    const auto tail = name.substr(kPrefix.size());
    return tail.size() == 6 && allOf(tail, isAlnum);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void sweepStaleTemporaries(const std::string& folder) {
    const std::string base = withSlash(folder);
    std::vector<std::string> names;
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir))
        if (isOurTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const auto& name : names) sweepOne(base, name);
}

void TemporarySweep::folderOfFile(const std::string& path) { folder(folderOf(path)); }

void TemporarySweep::folder(const std::string& path) {
    if (swept_.insert(withSlash(path)).second) sweepStaleTemporaries(path);
}

}  // namespace quill::files
