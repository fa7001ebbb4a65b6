#include "cli/site_files.hpp"

#include <filesystem>
#include <set>
#include <system_error>

namespace quill::cli {

namespace {

// One key per file however its path was written ("site/a.html", "./site/a.html").
std::string fileKey(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace

StringList defaultMasks() { return {"*.htm", "*.html"}; }

void collectSiteFiles(EncodingRuns& runs, const StringList& operands, const StringList& masks) {
    for (const auto& operand : operands) {
        std::error_code error;
        if (!std::filesystem::is_directory(operand, error)) {
            runs.foundFiles.push_back(operand);
            continue;
        }
        std::string folder = operand;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        runs.searchFolder(folder == "/" ? std::string() : folder, masks);
    }
    StringList unique;
    std::set<std::string> seen;
    for (auto& path : runs.foundFiles)
        if (seen.insert(fileKey(path)).second) unique.push_back(std::move(path));
    runs.foundFiles = std::move(unique);
}

}  // namespace quill::cli
