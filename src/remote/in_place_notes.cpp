#include "remote/in_place_notes.hpp"

#include <filesystem>
#include <functional>
#include <system_error>

#include "files/file_io.hpp"
#include "text/string_list.hpp"

namespace quill::ftp {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNotesFolder = ".quill-in-place";
constexpr const char* kNoteEnding = ".note";
constexpr const char* kCopyEnding = ".page";

std::string notesFolder(const std::string& workFolder) {
    return files::joinPath(workFolder, kNotesFolder);
}

StringList noteLines(const ServerPlace& place, const std::string& page) {
    return {place.host, place.user, place.folder, page};
}

std::string noteText(const StringList& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace

InPlaceWrite noteInPlaceWrite(const std::string& workFolder, const ServerPlace& place, const std::string& page,
                              const std::string& localCopy) {
    const std::string folder = notesFolder(workFolder);
    files::createFolder(folder);
    const std::string text = noteText(noteLines(place, page));
    char name[32];
    std::snprintf(name, sizeof name, "%016zx", std::hash<std::string>{}(text));
    const InPlaceWrite write{page, files::joinPath(folder, std::string(name) + kCopyEnding),
                             files::joinPath(folder, std::string(name) + kNoteEnding)};
    // The note only ever names a copy that is whole.
    files::replaceFileContents(write.copyPath, files::readWholeFile(localCopy), 0600);
    files::replaceFileContents(write.notePath, text, 0600);
    return write;
}

void forgetInPlaceWrite(const InPlaceWrite& write) {
    files::removeFile(write.notePath);
    files::removeFile(write.copyPath);
}

std::vector<InPlaceWrite> interruptedInPlaceWrites(const std::string& workFolder, const ServerPlace& place) {
    std::vector<InPlaceWrite> writes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(notesFolder(workFolder), error)) {
        const fs::path path = entry.path();
        if (path.extension() != kNoteEnding) continue;
        const StringList lines = splitLines(files::readWholeFile(path.string()));
        if (lines.size() != 4 || lines[0] != place.host || lines[1] != place.user || lines[2] != place.folder) continue;
        fs::path copy = path;
        copy.replace_extension(kCopyEnding);
        if (!files::fileExists(copy.string())) continue;
        writes.push_back({lines[3], copy.string(), path.string()});
    }
    return writes;
}

}  // namespace quill::ftp
