#include "files/file_io.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/descriptor.hpp"
#include "files/fault_injection.hpp"
#include "files/system_error_text.hpp"

namespace quill::files {

namespace {

// Removes the temporary file unless the rename took it.
class TempFileGuard {
public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void keep() { path_.clear(); }

private:
    std::string path_;
};

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// A link is followed, so the file it points to is rewritten, not the link.
std::string resolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string openErrorText(const std::string& path, int errorNumber) {
    return "Datei " + path + " kann nicht geöffnet werden. " + systemErrorText(errorNumber);
}

std::string createErrorText(const std::string& path, int errorNumber) {
    return "Datei \"" + path + "\" kann nicht erstellt werden. " + systemErrorText(errorNumber);
}

std::string readWholeFile(const std::string& path) {
    int fault = injectedFault(FileStep::OpenRead, path);
    if (fault != 0) throw FileOpenError(openErrorText(path, fault));
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw FileOpenError(openErrorText(path, errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw FileOpenError(openErrorText(path, errno));
    if (S_ISDIR(info.st_mode)) throw FileOpenError(openErrorText(path, EACCES));

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

void replaceFileContents(const std::string& path, std::string_view bytes, std::optional<mode_t> newFileMode) {
    const std::string target = resolveLink(path);
    struct stat original {};
    const bool exists = ::stat(target.c_str(), &original) == 0;
    if (exists) {
        if (S_ISDIR(original.st_mode)) throw FileCreateError(createErrorText(path, EACCES));
        // Root may write anything; the owner's write bit still marks a
        // write-protected file, as the read-only attribute does elsewhere.
        if ((original.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
            throw FileCreateError(createErrorText(path, EACCES));
    }

    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tempPath = (slash == std::string::npos ? std::string() : folder) + "." + name + ".quill-XXXXXX";

    int fault = injectedFault(FileStep::CreateTemp, path);
    if (fault != 0) throw FileCreateError(createErrorText(path, fault));
    Descriptor fd(::mkstemp(tempPath.data()));
    if (fd.get() < 0) throw FileCreateError(createErrorText(path, errno));
    TempFileGuard guard(tempPath);

    const mode_t mode = exists ? (original.st_mode & 07777) : newFileMode.value_or(0666 & ~currentUmask());
    ::fchmod(fd.get(), mode);
    if (exists) {
        // Keeps the owner when root rewrites someone else's file; may fail harmlessly.
        [[maybe_unused]] const int ignored = ::fchown(fd.get(), original.st_uid, original.st_gid);
    }

    fault = injectedFault(FileStep::Write, path);
    if (fault != 0) throw StreamError("Stream-Schreibfehler");
    if (!writeAll(fd.get(), bytes) || injectedFault(FileStep::ShortWrite, path) != 0)
        throw StreamError("Stream-Schreibfehler");
    if (::fsync(fd.get()) != 0) throw StreamError("Stream-Schreibfehler");
    if (::close(fd.release()) != 0) throw StreamError("Stream-Schreibfehler");

    fault = injectedFault(FileStep::Rename, path);
    if (fault != 0) throw FileCreateError(createErrorText(path, fault));
    if (::rename(tempPath.c_str(), target.c_str()) != 0) throw FileCreateError(createErrorText(path, errno));
    guard.keep();
}

void createEmptyFile(const std::string& path) {
    const int fault = injectedFault(FileStep::CreateTemp, path);
    if (fault != 0) throw FileCreateError(createErrorText(path, fault));
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) throw FileCreateError(createErrorText(path, errno));
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
