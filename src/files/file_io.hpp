#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/quill_error.hpp"

namespace quill::files {

// "Datei %s kann nicht geöffnet werden. %s"
class FileOpenError : public QuillError {
public:
    using QuillError::QuillError;
};

// "Datei "%s" kann nicht erstellt werden. %s"
class FileCreateError : public QuillError {
public:
    using QuillError::QuillError;
};

// "Stream-Lesefehler" / "Stream-Schreibfehler"
class StreamError : public QuillError {
public:
    using QuillError::QuillError;
};

// A file that changed after the run read it: "Die Datei %s wurde während
// des Laufs verändert und deshalb nicht ersetzt."
class FileChangedError : public QuillError {
public:
    using QuillError::QuillError;
};

std::string openErrorText(const std::string& path, int errorNumber);
std::string createErrorText(const std::string& path, int errorNumber);
// "Stream-Schreibfehler in Datei "%s": %s" (the system's reason)
std::string writeErrorText(const std::string& path, int errorNumber);
std::string changedErrorText(const std::string& path);

// What a file was when it was read: which file, how long, changed when.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified {};
    struct timespec changed {};

    static FileStamp of(const struct stat& info);
    bool sameFile(const struct stat& info) const;
    // Same file, same size, same modification and change times.
    bool unchangedIn(const struct stat& info) const;
};

// Reads the whole file (its size, then that many bytes; NUL bytes kept).
// Only a regular file is read, and no symbolic link is followed on the way
// (links are resolved once, where files are chosen): anything else fails to
// open, and nothing waits on a FIFO. A file too large for the memory at hand
// is refused before it is read. stamp, when given, receives what was read;
// meter, when given, hears the bytes read after every MB.
using ReadMeter = std::function<void(std::uint64_t done, std::uint64_t size)>;
std::string readWholeFile(const std::string& path, FileStamp* stamp = nullptr, const ReadMeter& meter = {});

// The path with every symbolic link resolved; the path itself when it cannot
// be resolved.
std::string resolvedPath(const std::string& path);
// Where the user names a file: the path as written when no link lies on its
// way, otherwise resolved (once, here).
std::string linkFreePath(const std::string& path);

bool fileExists(const std::string& path);

// What to do when the file may be written but its folder takes no new file.
enum class LockedFolder {
    Refuse,       // fail as the create would: the file keeps its contents
    WriteInPlace  // write through the file itself (it may be seen short meanwhile)
};

// Replaces one file's contents without ever leaving it short, keeping what
// the file was (see RewriteBatch; a link is followed here). A write-protected file (no owner write
// bit, or not writable by us) is refused like on the desktop it came from. A
// new file gets newFileMode when given, else the usual 0666 less the umask.
void replaceFileContents(const std::string& path, std::string_view bytes,
                         std::optional<mode_t> newFileMode = std::nullopt,
                         LockedFolder lockedFolder = LockedFolder::Refuse);

// Deletes a file; false when it could not be deleted.
bool removeFile(const std::string& path);

// Creates a folder unless it exists; false when it is not there afterwards.
bool createFolder(const std::string& path);

// The current working folder, read anew at every call, and a name inside it.
std::string currentFolder();
std::string inCurrentFolder(std::string_view name);

// folder + separator + name, without doubling a separator.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace quill::files
