#include "files/rewrite_journal.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>
#include <vector>

#include "files/file_io.hpp"
#include "files/in_place_write.hpp"
#include "files/regular_file.hpp"
#include "files/state_folder.hpp"

namespace quill::files {

namespace {

constexpr std::string_view kTempsPrefix = "temps-";
constexpr std::string_view kInPlacePrefix = "inplace-";
constexpr std::string_view kTempsMagic = "quill-temps 1\n";
constexpr std::string_view kInPlaceMagic = "quill-inplace 1\n";
constexpr std::size_t kChunk = 1 << 20;

// A new record file in the state folder, locked as live.
Descriptor createRecord(int stateFd, std::string_view prefix, std::string& name) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = unpredictableName(std::string(prefix));
        Descriptor fd(::openat(stateFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.valid()) {
            ::flock(fd.get(), LOCK_EX);
            return fd;
        }
        if (errno != EEXIST) break;
    }
    throw StateFolderError("Der private Ordner " + stateFolderPath() + " kann nicht verwendet werden.");
}

std::string numbers(std::initializer_list<unsigned long long> values) {
    std::string line;
    for (auto value : values) line += (line.empty() ? "" : " ") + std::to_string(value);
    return line + "\n";
}

bool readAt(int fd, char* buffer, std::size_t length, off_t offset) {
    while (length > 0) {
        const auto got = ::pread(fd, buffer, length, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        buffer += got;
        length -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

std::string readAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (off_t at = 0;;) {
        const auto got = ::pread(fd, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

struct InPlaceHeader {
    dev_t device = 0;
    ino_t inode = 0;
    dev_t folderDevice = 0;
    ino_t folderInode = 0;
    off_t newSize = 0;
    off_t oldSize = 0;
    std::string path;
    off_t newAt = 0;  // where the new bytes begin; the old ones follow them
};

bool parseHeader(int fd, InPlaceHeader& header) {
    std::string start(4096, '\0');
    const auto got = ::pread(fd, start.data(), start.size(), 0);
    if (got <= 0) return false;
    start.resize(static_cast<std::size_t>(got));
    if (start.rfind(kInPlaceMagic, 0) != 0) return false;
    const auto lineEnd = start.find('\n', kInPlaceMagic.size());
    if (lineEnd == std::string::npos) return false;
    std::istringstream line(start.substr(kInPlaceMagic.size(), lineEnd - kInPlaceMagic.size()));
    unsigned long long values[7];
    for (auto& value : values)
        if (!(line >> value)) return false;
    header = {static_cast<dev_t>(values[0]),
              static_cast<ino_t>(values[1]),
              static_cast<dev_t>(values[2]),
              static_cast<ino_t>(values[3]),
              static_cast<off_t>(values[4]),
              static_cast<off_t>(values[5]),
              {},
              0};
    const std::size_t pathLength = values[6];
    if (pathLength == 0 || pathLength > start.size() - lineEnd - 1) return false;
    header.path = start.substr(lineEnd + 1, pathLength);
    header.newAt = static_cast<off_t>(lineEnd + 1 + pathLength);
    return true;
}

enum class FileState { New, Unfinished, Foreign };

// New: the write was done. Unfinished: the file holds new bytes up to some
// point and old ones behind it (the whole old file, or a torn write, with the
// zeros a reservation adds). Foreign: anything else, so the file has moved on.
FileState stateOf(int fileFd, off_t fileSize, int recordFd, const InPlaceHeader& header) {
    const off_t oldAt = header.newAt + header.newSize;
    const off_t longer = std::max(header.newSize, header.oldSize);
    // A torn write never shrinks the file (the cut comes last).
    if (fileSize != header.newSize && (fileSize < header.oldSize || fileSize > longer)) return FileState::Foreign;
    std::vector<char> file(kChunk);
    std::vector<char> expected(kChunk);
    bool inNew = true;  // still in the part that matches the new bytes
    for (off_t at = 0; at < fileSize;) {
        const auto length = static_cast<std::size_t>(std::min<off_t>(fileSize - at, kChunk));
        if (!readAt(fileFd, file.data(), length, at)) return FileState::Foreign;
        std::size_t i = 0;
        if (inNew) {
            const auto fromNew = static_cast<std::size_t>(std::clamp<off_t>(header.newSize - at, 0, length));
            if (!readAt(recordFd, expected.data(), fromNew, header.newAt + at)) return FileState::Foreign;
            while (i < fromNew && file[i] == expected[i]) ++i;
            inNew = i == length;
        }
        if (i < length) {
            // From here on the old bytes, then zeros.
            const off_t from = at + static_cast<off_t>(i);
            const auto fromOld = static_cast<std::size_t>(std::clamp<off_t>(header.oldSize - from, 0, length - i));
            std::fill(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(length - i), '\0');
            if (!readAt(recordFd, expected.data(), fromOld, oldAt + from)) return FileState::Foreign;
            if (!std::equal(file.begin() + static_cast<std::ptrdiff_t>(i),
                            file.begin() + static_cast<std::ptrdiff_t>(length), expected.begin()))
                return FileState::Foreign;
            inNew = false;
        }
        at += static_cast<off_t>(length);
    }
    return inNew && fileSize == header.newSize ? FileState::New : FileState::Unfinished;
}

// Completes the write when the file still qualifies; otherwise the record
// is of no more use. A failing completion raises, and the record stays.
void finishInPlace(int recordFd) {
    InPlaceHeader header;
    if (!parseHeader(recordFd, header)) return;
    const PathParts parts = splitPath(header.path);
    int error = 0;
    const Descriptor folder = openFolderNoFollow(parts.folder, error);
    struct stat info {};
    if (!folder.valid() || ::fstat(folder.get(), &info) != 0 || info.st_dev != header.folderDevice ||
        info.st_ino != header.folderInode)
        return;
    const Descriptor file = openRegularFileAt(folder.get(), parts.name, O_RDWR, error, info);
    if (!file.valid() || info.st_dev != header.device || info.st_ino != header.inode) return;
    if (stateOf(file.get(), info.st_size, recordFd, header) != FileState::Unfinished) return;
    bool changed = false;
    error = writeThroughInode(recordFd, header.newAt, file.get(), header.newSize, changed);
    if (error != 0) throw StreamError(writeErrorText(header.path, error));
}

// The folder at path while it is still the one noted.
Descriptor notedFolder(const std::string& path, unsigned long long device, unsigned long long inode) {
    int error = 0;
    Descriptor folder = openFolderNoFollow(path, error);
    struct stat info {};
    if (!folder.valid() || ::fstat(folder.get(), &info) != 0 || info.st_dev != device || info.st_ino != inode)
        return Descriptor();
    return folder;
}

bool names(int folder, const std::string& name, unsigned long long device, unsigned long long inode) {
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
           info.st_ino == inode && info.st_dev == device;
}

void sweepTemps(int journalFd) {
    const std::string text = readAll(journalFd);
    if (text.rfind(kTempsMagic, 0) != 0) return;
    std::size_t at = kTempsMagic.size();
    // Each entry: a line of numbers, then the texts they give the lengths of.
    const auto texts = [&](std::initializer_list<unsigned long long> lengths) {
        std::vector<std::string> out;
        for (const auto length : lengths) {
            if (length > text.size() - at) return std::vector<std::string>{};
            out.push_back(text.substr(at, length));
            at += length;
        }
        ++at;
        return out;
    };
    while (at < text.size()) {
        const auto lineEnd = text.find('\n', at);
        if (lineEnd == std::string::npos) return;
        std::istringstream line(text.substr(at, lineEnd - at));
        at = lineEnd + 1;
        std::string kind;
        unsigned long long device = 0, folderInode = 0, inode = 0, nameLength = 0, pathLength = 0;
        if (line.peek() == 'L') line >> kind;
        if (!(line >> device >> folderInode >> inode >> nameLength >> pathLength)) return;
        if (kind.empty()) {
            const std::vector<std::string> parts = texts({nameLength, pathLength});
            if (parts.empty()) return;
            const Descriptor folder = notedFolder(parts[1], device, folderInode);
            // Same name, same inode: the file we made (it may carry its page's owner already).
            if (folder.valid() && names(folder.get(), parts[0], device, inode))
                ::unlinkat(folder.get(), parts[0].c_str(), 0);
            continue;
        }
        // A second link to a page, kept as its original: it goes while the
        // page still names the same file, which was then never replaced.
        unsigned long long pageDevice = 0, pageFolderInode = 0, pageNameLength = 0, pagePathLength = 0;
        if (kind != "L" || !(line >> pageDevice >> pageFolderInode >> pageNameLength >> pagePathLength)) return;
        const std::vector<std::string> parts = texts({nameLength, pathLength, pageNameLength, pagePathLength});
        if (parts.empty()) return;
        const Descriptor kept = notedFolder(parts[1], device, folderInode);
        const Descriptor page = notedFolder(parts[3], pageDevice, pageFolderInode);
        if (kept.valid() && page.valid() && names(kept.get(), parts[0], device, inode) &&
            names(page.get(), parts[2], device, inode))
            ::unlinkat(kept.get(), parts[0].c_str(), 0);
    }
}

}  // namespace

void TempJournal::note(const struct stat& folder, const std::string& folderPath, const std::string& name,
                       const struct stat& temp) {
    if (!open()) return;
    const std::string entry =
        numbers({folder.st_dev, folder.st_ino, temp.st_ino, name.size(), folderPath.size()}) + name + folderPath + "\n";
    writeAll(fd_.get(), entry.data(), entry.size());
}

void TempJournal::noteLink(const struct stat& folder, const std::string& folderPath, const std::string& name,
                           ino_t inode, const struct stat& pageFolder, const std::string& pageFolderPath,
                           const std::string& pageName) {
    if (!open()) return;
    const std::string entry = "L " +
                              numbers({folder.st_dev, folder.st_ino, inode, name.size(), folderPath.size(),
                                       pageFolder.st_dev, pageFolder.st_ino, pageName.size(), pageFolderPath.size()}) +
                              name + folderPath + pageName + pageFolderPath + "\n";
    writeAll(fd_.get(), entry.data(), entry.size());
}

bool TempJournal::open() {
    if (fd_.valid()) return true;
    try {
        state_ = openStateFolder();
        fd_ = createRecord(state_.get(), kTempsPrefix, name_);
    } catch (const StateFolderError&) {
        return false;
    }
    writeAll(fd_.get(), kTempsMagic.data(), kTempsMagic.size());
    return true;
}

void TempJournal::close() {
    if (fd_.valid()) ::unlinkat(state_.get(), name_.c_str(), 0);
    fd_.reset();
    state_.reset();
}

InPlaceRecord::InPlaceRecord(const std::string& path, const struct stat& folder, const struct stat& file,
                             std::string_view newBytes, int oldFd)
    : state_(openStateFolder()), fd_(createRecord(state_.get(), kInPlacePrefix, name_)) {
    const std::string header = std::string(kInPlaceMagic) +
                               numbers({file.st_dev, file.st_ino, folder.st_dev, folder.st_ino, newBytes.size(),
                                        static_cast<unsigned long long>(file.st_size), path.size()}) +
                               path;
    newAt_ = static_cast<off_t>(header.size());
    bool whole =
        writeAll(fd_.get(), header.data(), header.size()) && writeAll(fd_.get(), newBytes.data(), newBytes.size());
    std::vector<char> buffer(kChunk);
    for (off_t at = 0; whole && at < file.st_size;) {
        const auto length = static_cast<std::size_t>(std::min<off_t>(file.st_size - at, kChunk));
        whole = readAt(oldFd, buffer.data(), length, at) && writeAll(fd_.get(), buffer.data(), length);
        at += static_cast<off_t>(length);
    }
    if (!whole) {
        const int error = errno;
        remove();
        throw StreamError(writeErrorText(stateFolderPath() + "/" + name_, error));
    }
}

void InPlaceRecord::makeDurable() {
    ::fsync(state_.get());
}

void InPlaceRecord::remove() {
    if (fd_.valid()) ::unlinkat(state_.get(), name_.c_str(), 0);
    fd_.reset();
}

void InPlaceRecord::keep() {
    fd_.reset();
}

void finishInterruptedRewrites() {
    Descriptor state;
    try {
        state = openStateFolder();
    } catch (const StateFolderError&) {
        return;  // nothing was ever recorded there
    }
    std::vector<std::string> names;
    if (DIR* dir = ::fdopendir(::dup(state.get()))) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name.rfind(kTempsPrefix, 0) == 0 || name.rfind(kInPlacePrefix, 0) == 0) names.emplace_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());  // records before journals: "inplace-" < "temps-"
    for (const auto& name : names) {
        Descriptor record(::openat(state.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!record.valid() || ::fstat(record.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        // A run that is still at work holds the lock.
        if (::flock(record.get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (name.rfind(kTempsPrefix, 0) == 0)
            sweepTemps(record.get());
        else
            finishInPlace(record.get());
        ::unlinkat(state.get(), name.c_str(), 0);
    }
}

}  // namespace quill::files
