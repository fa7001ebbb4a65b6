#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

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

std::string openErrorText(const std::string& path, int errorNumber);
std::string createErrorText(const std::string& path, int errorNumber);

// Reads the whole file (its size, then that many bytes; NUL bytes kept).
// Only a regular file is read: anything else fails to open, and nothing
// waits on a FIFO.
std::string readWholeFile(const std::string& path);

bool fileExists(const std::string& path);

// What to do when the file may be written but its folder takes no new file.
enum class LockedFolder {
    Refuse,       // fail as the create would: the file keeps its contents
    WriteInPlace  // write through the file itself (it may be seen short meanwhile)
};

// Replaces one file's contents without ever leaving it short, keeping what
// the file was (see RewriteBatch). A write-protected file (no owner write
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
