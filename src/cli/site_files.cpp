#include "cli/site_files.hpp"

#include <filesystem>
#include <set>
#include <system_error>

#include "cli/arguments.hpp"
#include "cli/json_writer.hpp"
#include "files/file_io.hpp"
#include "runs/local_run.hpp"
#include "text/cp1252.hpp"

namespace quill::cli {

namespace {

// One key per file however its path was written ("site/a.html", "./site/a.html").
std::string fileKey(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

bool hasWildcard(const std::string& mask) {
    return mask.find_first_of("*?") != std::string::npos;
}

std::string noFileMessage(const std::string& folder, const StringList& masks) {
    std::string list;
    for (const auto& mask : masks) list += (list.empty() ? "" : ", ") + cp1252ToUtf8(mask);
    std::string text = "Im Ordner " + shownName(folder) + " passt keine Datei zu " +
                       (masks.size() == 1 ? "der Maske " : "den Masken ") + list + ".";
    for (const auto& mask : masks) {
        if (hasWildcard(mask) || mask.empty()) continue;
        text += " Meinten Sie " + std::string(mask.front() == '.' ? "*" : "*.") + cp1252ToUtf8(mask) + "?";
        break;
    }
    return text;
}

}  // namespace

StringList defaultMasks() {
    return {"*.htm", "*.html"};
}

StringList collectSiteFiles(const StringList& operands, const StringList& masks, bool includeSubfolders,
                            RunObserver* observer) {
    StringList found;
    for (const auto& operand : operands) {
        std::error_code error;
        if (!std::filesystem::is_directory(operand, error)) {
            // A link is resolved here, once: the run never follows one.
            found.push_back(files::linkFreePath(operand));
            continue;
        }
        std::string folder = operand;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        StringList inFolder = searchFolder(folder == "/" ? std::string() : folder, masks, includeSubfolders, observer);
        if (inFolder.empty()) throw UsageError(noFileMessage(operand, masks));
        found.insert(found.end(), std::make_move_iterator(inFolder.begin()), std::make_move_iterator(inFolder.end()));
    }
    StringList unique;
    std::set<std::string> seen;
    for (auto& path : found)
        if (seen.insert(fileKey(path)).second) unique.push_back(std::move(path));
    return unique;
}

}  // namespace quill::cli
