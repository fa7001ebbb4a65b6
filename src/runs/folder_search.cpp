#include "runs/folder_search.hpp"

#include <algorithm>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>
#include <vector>

#include "runs/file_mask.hpp"
#include "files/temporary_files.hpp"

namespace quill {

namespace {

struct Entry {
    std::string name;
    bool isFile = false;
    bool isFolder = false;
};

using FolderId = std::pair<dev_t, ino_t>;

std::vector<Entry> sortedEntries(const std::string& folder) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == ".." || files::isOurTemporaryName(name)) continue;
        const std::string path = folder + name;
        struct stat own {};
        struct stat target {};
        if (::lstat(path.c_str(), &own) != 0) continue;
        const bool isLink = S_ISLNK(own.st_mode);
        const bool hasTarget = ::stat(path.c_str(), &target) == 0;
        entries.push_back(Entry{name, hasTarget && S_ISREG(target.st_mode), !isLink && S_ISDIR(own.st_mode)});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return nameLessIgnoringCase(a.name, b.name); });
    return entries;
}

struct Walk {
    std::string mask;
    bool includeSubfolders;
    StringList& foundFiles;
    RunObserver& observer;
    std::set<FolderId> entered;
    // Paths listed already, by this walk or an earlier mask's.
    std::unordered_set<std::string> listed;
};

void walk(const std::string& folder, Walk& run) {
    throwIfCancelled(&run.observer, RunStep::Searching);
    run.observer.progress(run.foundFiles.size(), 0, folder);
    files::sweepStaleTemporaries(folder);
    const std::vector<Entry> entries = sortedEntries(folder);
    for (const auto& entry : entries) {
        if (!entry.isFile || !maskMatches(entry.name, run.mask)) continue;
        throwIfCancelled(&run.observer, RunStep::Searching);
        std::string path = folder + entry.name;
        if (!run.listed.insert(path).second) continue;
        run.foundFiles.push_back(std::move(path));
        run.observer.fileFound(run.foundFiles.back());
    }
    if (!run.includeSubfolders) return;
    for (const auto& entry : entries) {
        if (!entry.isFolder || entry.name.front() == '.') continue;
        const std::string sub = folder + entry.name + "/";
        struct stat info {};
        // A folder mounted inside itself must not be entered twice either.
        if (::stat(sub.c_str(), &info) != 0 || !run.entered.insert({info.st_dev, info.st_ino}).second) continue;
        walk(sub, run);
    }
}

}  // namespace

void Dateien_suchen(const std::string& pathWithMask, bool includeSubfolders, StringList& foundFiles,
                    RunObserver* observer) {
    const auto slash = pathWithMask.rfind('/');
    const std::string mask = slash == std::string::npos ? pathWithMask : pathWithMask.substr(slash + 1);
    std::string folder = slash == std::string::npos ? std::string() : pathWithMask.substr(0, slash + 1);
    if (folder.empty() || folder.back() != '/') folder += '/';

    Walk run{mask, includeSubfolders, foundFiles, observerOrNone(observer), {},
             std::unordered_set<std::string>(foundFiles.begin(), foundFiles.end())};
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) run.entered.insert({info.st_dev, info.st_ino});
    walk(folder, run);
}

}  // namespace quill
