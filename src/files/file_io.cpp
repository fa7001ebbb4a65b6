#include "files/file_io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "files/descriptor.hpp"
#include "files/fault_injection.hpp"
#include "files/in_place_write.hpp"
#include "files/memory_budget.hpp"
#include "files/regular_file.hpp"
#include "files/rewrite_batch.hpp"
#include "files/system_error_text.hpp"
#include "files/temporary_files.hpp"

namespace quill::files {

namespace {

// The file is writable, but its folder takes no new file beside it.
bool onlyTheFileIsWritable(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) != 0 &&
           ::access(path.c_str(), W_OK) == 0 && ::access(folderOf(path).c_str(), W_OK) != 0;
}

void writeInPlace(const std::string& path, std::string_view bytes) {
    int error = 0;
    struct stat info {};
    const Descriptor fd = openRegularFile(path, O_WRONLY, error, info);
    if (!fd.valid()) throw FileCreateError(createErrorText(path, error));
    if (injectedFault(FileStep::InPlaceWrite, path) != 0) throw StreamError("Stream-Schreibfehler");
    bool changed = false;
    if (const int failed = writeThroughInode(bytes, fd.get(), changed); failed != 0)
        throw StreamError(writeErrorText(path, failed));
}

}  // namespace

std::string openErrorText(const std::string& path, int errorNumber) {
    return "Datei " + path + " kann nicht geöffnet werden. " + systemErrorText(errorNumber);
}

std::string createErrorText(const std::string& path, int errorNumber) {
    return "Datei \"" + path + "\" kann nicht erstellt werden. " + systemErrorText(errorNumber);
}

std::string writeErrorText(const std::string& path, int errorNumber) {
    return "Stream-Schreibfehler in Datei \"" + path + "\": " + systemErrorText(errorNumber);
}

std::string changedErrorText(const std::string& path) {
    return "Die Datei " + path + " wurde während des Laufs verändert und deshalb nicht ersetzt.";
}

FileStamp FileStamp::of(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool FileStamp::sameFile(const struct stat& info) const {
    return info.st_dev == device && info.st_ino == inode;
}

bool FileStamp::unchangedIn(const struct stat& info) const {
    return sameFile(info) && info.st_size == size && info.st_mtim.tv_sec == modified.tv_sec &&
           info.st_mtim.tv_nsec == modified.tv_nsec && info.st_ctim.tv_sec == changed.tv_sec &&
           info.st_ctim.tv_nsec == changed.tv_nsec;
}

std::string resolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string linkFreePath(const std::string& path) {
    int error = 0;
    struct stat info {};
    const PathParts parts = splitPath(path);
    const Descriptor folder = openFolderNoFollow(parts.folder, error);
    if (folder.valid() &&
        (::fstatat(folder.get(), parts.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(info.st_mode)))
        return path;
    return resolvedPath(path);
}

std::string readWholeFile(const std::string& path, FileStamp* stamp, const ReadMeter& meter) {
    const int fault = injectedFault(FileStep::OpenRead, path);
    if (fault != 0) throw FileOpenError(openErrorText(path, fault));
    int error = 0;
    struct stat info {};
    const Descriptor fd = openRegularFile(path, O_RDONLY, error, info);
    if (!fd.valid()) throw FileOpenError(openErrorText(path, error));
    ensureMemoryFor(path, info.st_size);

    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    // Whoever hears how far it is hears it once per MB; others get one read.
    constexpr std::size_t kMeteredPiece = std::size_t{1} << 20;
    while (done < bytes.size()) {
        const std::size_t wanted = meter ? std::min(bytes.size() - done, kMeteredPiece) : bytes.size() - done;
        const auto got = ::read(fd.get(), bytes.data() + done, wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
        if (meter) meter(done, bytes.size());
    }
    if (done < bytes.size() || injectedFault(FileStep::ShortRead, path) != 0) throw StreamError("Stream-Lesefehler");
    if (stamp != nullptr) *stamp = FileStamp::of(info);
    return bytes;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void replaceFileContents(const std::string& path, std::string_view bytes, std::optional<mode_t> newFileMode,
                         LockedFolder lockedFolder) {
    if (lockedFolder == LockedFolder::WriteInPlace && onlyTheFileIsWritable(path)) {
        writeInPlace(path, bytes);
        return;
    }
    RewriteBatch batch;
    batch.stage(path, bytes, newFileMode);
    batch.commit();
}

bool removeFile(const std::string& path) {
    if (injectedFault(FileStep::Remove, path) != 0) return false;
    return ::unlink(path.c_str()) == 0;
}

bool createFolder(const std::string& path) {
    if (injectedFault(FileStep::CreateFolder, path) != 0) return false;
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat info {};
    return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string currentFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return ".";
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

std::string inCurrentFolder(std::string_view name) {
    return joinPath(currentFolder(), name);
}

}  // namespace quill::files
