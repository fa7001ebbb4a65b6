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

void sweepTemps(int journalFd) {
    const std::string text = readAll(journalFd);
    if (text.rfind(kTempsMagic, 0) != 0) return;
    std::size_t at = kTempsMagic.size();
    while (at < text.size()) {
        const auto lineEnd = text.find('\n', at);
        if (lineEnd == std::string::npos) return;
        std::istringstream line(text.substr(at, lineEnd - at));
        unsigned long long folderDevice = 0, folderInode = 0, tempInode = 0, nameLength = 0, pathLength = 0;
        if (!(line >> folderDevice >> folderInode >> tempInode >> nameLength >> pathLength)) return;
        at = lineEnd + 1;
        if (nameLength + pathLength > text.size() - at) return;
        const std::string name = text.substr(at, nameLength);
        const std::string folderPath = text.substr(at + nameLength, pathLength);
        at += nameLength + pathLength + 1;
        int error = 0;
        const Descriptor folder = openFolderNoFollow(folderPath, error);
        struct stat info {};
        if (!folder.valid() || ::fstat(folder.get(), &info) != 0 || info.st_dev != folderDevice ||
            info.st_ino != folderInode)
            continue;
        // Same name, same inode: the file we made (it may carry its page's owner already).
        if (::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
            info.st_ino != tempInode || info.st_dev != folderDevice)
            continue;
        ::unlinkat(folder.get(), name.c_str(), 0);
    }
}

}  // namespace

void TempJournal::note(const struct stat& folder, const std::string& folderPath, const std::string& name,
                       const struct stat& temp) {
    if (!fd_.valid()) {
        try {
            state_ = openStateFolder();
            fd_ = createRecord(state_.get(), kTempsPrefix, name_);
        } catch (const StateFolderError&) {
            return;
        }
        writeAll(fd_.get(), kTempsMagic.data(), kTempsMagic.size());
    }
    const std::string entry =
        numbers({folder.st_dev, folder.st_ino, temp.st_ino, name.size(), folderPath.size()}) + name + folderPath + "\n";
    writeAll(fd_.get(), entry.data(), entry.size());
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
