#include "runs/folder_search.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "files/descriptor.hpp"
#include "files/file_io.hpp"
#include "files/regular_file.hpp"
#include "files/system_error_text.hpp"
#include "files/temporary_files.hpp"
#include "runs/file_mask.hpp"

namespace quill {

namespace {

struct Entry {
    std::string name;
    std::string listed;  // the path to list: the file's own, or a link's target inside the tree
    bool isFile = false;
    bool isFolder = false;
};

using FolderId = std::pair<dev_t, ino_t>;

struct Walk {
    std::string mask;
    bool includeSubfolders;
    StringList& foundFiles;
    RunObserver& observer;
    StringList& skipped;
    std::string shownRoot;  // the chosen folder as the user wrote it, ending in "/"
    std::string realRoot;   // the same with every link resolved, ending in "/"
    std::set<FolderId> entered;
    // Paths listed already, by this walk or an earlier mask's.
    std::unordered_set<std::string> listed;
};

void skip(Walk& run, std::string text) {
    run.skipped.push_back(std::move(text));
}

std::string unreadableFolder(const std::string& folder, int error) {
    return "Verzeichnis " + folder + " kann nicht gelesen werden. " + systemErrorText(error);
}

// A link is followed only to a file inside the chosen folder; it is then
// listed by its target's path, so no later step resolves it again.
void resolveLink(const std::string& path, Entry& entry, Walk& run) {
    if (!maskMatches(entry.name, run.mask)) return;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        // A link to nothing names no page; one that cannot be followed might.
        if (errno != ENOENT) skip(run, files::openErrorText(path, errno));
        return;
    }
    const std::string target = resolved;
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;  // a folder is never entered by a link
    if (target.compare(0, run.realRoot.size(), run.realRoot) != 0) {
        skip(run, "Der symbolische Link " + path + " führt aus dem gewählten Verzeichnis hinaus und wurde übergangen.");
        return;
    }
    entry.isFile = true;
    entry.listed = run.shownRoot + target.substr(run.realRoot.size());
}

std::vector<Entry> sortedEntries(int folderFd, const std::string& folder, Walk& run) {
    std::vector<Entry> entries;
    DIR* dir = ::fdopendir(::dup(folderFd));
    if (dir == nullptr) {
        skip(run, unreadableFolder(folder, errno));
        return entries;
    }
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(dir);
        if (item == nullptr) {
            if (errno != 0) skip(run, unreadableFolder(folder, errno));
            break;
        }
        const std::string name = item->d_name;
        if (name == "." || name == ".." || files::isOurTemporaryName(name)) continue;
        Entry entry{name, folder + name};
        struct stat own {};
        if (::fstatat(folderFd, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0) {
            if (maskMatches(name, run.mask)) skip(run, files::openErrorText(folder + name, errno));
            continue;
        }
        if (S_ISLNK(own.st_mode)) resolveLink(folder + name, entry, run);
        entry.isFile = entry.isFile || S_ISREG(own.st_mode);
        entry.isFolder = S_ISDIR(own.st_mode);
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return nameLessIgnoringCase(a.name, b.name); });
    return entries;
}

void walk(int folderFd, const std::string& folder, Walk& run) {
    throwIfCancelled(&run.observer, RunStep::Searching);
    run.observer.progress(run.foundFiles.size(), 0, folder);
    const std::vector<Entry> entries = sortedEntries(folderFd, folder, run);
    for (const auto& entry : entries) {
        if (!entry.isFile || !maskMatches(entry.name, run.mask)) continue;
        throwIfCancelled(&run.observer, RunStep::Searching);
        if (!run.listed.insert(entry.listed).second) continue;
        run.foundFiles.push_back(entry.listed);
        run.observer.fileFound(run.foundFiles.back());
    }
    if (!run.includeSubfolders) return;
    for (const auto& entry : entries) {
        if (!entry.isFolder || entry.name.front() == '.') continue;
        const std::string sub = folder + entry.name + "/";
        const files::Descriptor fd(
            ::openat(folderFd, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!fd.valid() || ::fstat(fd.get(), &info) != 0) {
            skip(run, unreadableFolder(sub, errno));
            continue;
        }
        // A folder mounted inside itself must not be entered twice either.
        if (!run.entered.insert({info.st_dev, info.st_ino}).second) continue;
        walk(fd.get(), sub, run);
    }
}

}  // namespace

void Dateien_suchen(const std::string& pathWithMask, bool includeSubfolders, StringList& foundFiles,
                    RunObserver* observer, StringList* skipped) {
    const auto slash = pathWithMask.rfind('/');
    const std::string mask = slash == std::string::npos ? pathWithMask : pathWithMask.substr(slash + 1);
    std::string folder = slash == std::string::npos ? std::string() : pathWithMask.substr(0, slash + 1);
    if (folder.empty() || folder.back() != '/') folder += '/';

    StringList ownSkipped;
    Walk run{mask,
             includeSubfolders,
             foundFiles,
             observerOrNone(observer),
             skipped ? *skipped : ownSkipped,
             folder,
             {},
             {},
             std::unordered_set<std::string>(foundFiles.begin(), foundFiles.end())};
    // The chosen folder's links are resolved here, once; below it, nothing
    // is reached through a link that leaves it.
    std::string real = files::resolvedPath(folder);
    if (real.empty() || real.back() != '/') real += '/';
    run.realRoot = real;
    int error = 0;
    files::Descriptor root = files::openFolderNoFollow(folder, error);
    if (!root.valid() && error == ELOOP) {
        run.shownRoot = real;
        root = files::openFolderNoFollow(real, error);
    }
    struct stat info {};
    if (!root.valid() || ::fstat(root.get(), &info) != 0) {
        // A folder that is not there (a cancelled choice) lists nothing.
        if (error != ENOENT && error != ENOTDIR) skip(run, unreadableFolder(folder, error));
    } else {
        run.entered.insert({info.st_dev, info.st_ino});
        walk(root.get(), run.shownRoot, run);
    }
    if (skipped == nullptr) throwIfSkipped(ownSkipped);
}

void throwIfSkipped(const StringList& skipped) {
    if (skipped.empty()) return;
    constexpr std::size_t kListed = 20;
    std::string text = "Nicht alles im gewählten Verzeichnis konnte durchsucht werden:";
    for (std::size_t i = 0; i < std::min(skipped.size(), kListed); ++i) text += "\r\n" + skipped[i];
    if (skipped.size() > kListed) text += "\r\n… und " + std::to_string(skipped.size() - kListed) + " weitere";
    throw SearchIncompleteError(text);
}

}  // namespace quill
