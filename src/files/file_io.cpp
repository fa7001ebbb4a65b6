#include "files/file_io.hpp"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/descriptor.hpp"
#include "files/fault_injection.hpp"
#include "files/in_place_write.hpp"
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
    if (writeThroughInode(bytes, fd.get(), changed) != 0) throw StreamError("Stream-Schreibfehler");
}

}  // namespace

std::string openErrorText(const std::string& path, int errorNumber) {
    return "Datei " + path + " kann nicht geöffnet werden. " + systemErrorText(errorNumber);
}

std::string createErrorText(const std::string& path, int errorNumber) {
    return "Datei \"" + path + "\" kann nicht erstellt werden. " + systemErrorText(errorNumber);
}

std::string readWholeFile(const std::string& path) {
    const int fault = injectedFault(FileStep::OpenRead, path);
    if (fault != 0) throw FileOpenError(openErrorText(path, fault));
    int error = 0;
    struct stat info {};
    const Descriptor fd = openRegularFile(path, O_RDONLY, error, info);
    if (!fd.valid()) throw FileOpenError(openErrorText(path, error));

    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    if (done < bytes.size() || injectedFault(FileStep::ShortRead, path) != 0)
        throw StreamError("Stream-Lesefehler");
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

std::string inCurrentFolder(std::string_view name) { return joinPath(currentFolder(), name); }

}  // namespace quill::files
