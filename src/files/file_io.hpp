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
std::string readWholeFile(const std::string& path);

bool fileExists(const std::string& path);

// Replaces the file's contents without ever leaving it short: the bytes go to a
// new file in the same folder, which then takes the old one's place in one
// rename with its permissions. A write-protected file (no owner write bit, or
// not writable by us) is refused like on the desktop it came from. A new file
// gets newFileMode when given, else the usual 0666 less the umask.
void replaceFileContents(const std::string& path, std::string_view bytes,
                         std::optional<mode_t> newFileMode = std::nullopt);

// Creates an empty file, or empties an existing one (used before a download).
void createEmptyFile(const std::string& path);

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
