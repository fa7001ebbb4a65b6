#include "remote/site_pages.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>

#include "files/file_io.hpp"
#include "files/system_error_text.hpp"
#include "remote/remote_replace.hpp"
#include "remote_folder/remote_tree.hpp"
#include "runs/file_mask.hpp"
#include "text/cp1252.hpp"
#include "text/quill_error.hpp"

namespace quill::ftp {

namespace {

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string RemotePage::serverPath() const {
    return folder.empty() ? name : remote::serverPathOf(folder, name);
}

SitePages listSitePages(remote::RemoteFolder& server, const StringList& masks, RunObserver* observer) {
    const remote::RemoteTree tree = remote::walkRemoteTree(server, observer);
    const std::string& start = tree.start;

    SitePages site;
    site.folders = tree.folders;
    std::vector<bool> taken(tree.files.size(), false);
    for (const auto& mask : masks) {
        const std::string utf8Mask = cp1252ToUtf8(mask);
        for (std::size_t i = 0; i < tree.files.size(); ++i) {
            const std::string& path = tree.files[i].path;
            const std::string name = nameOf(path);
            if (taken[i] || isTemporaryUploadName(name) || !maskMatches(cp1252ToUtf8(name), utf8Mask)) continue;
            taken[i] = true;
            const std::string folder = parentOf(path);
            site.pages.push_back({path, folder.empty() ? start : remote::serverPathOf(start, folder), name});
        }
    }
    return site;
}

void createCopyFolders(const std::string& workFolder, const std::string& pagePath) {
    std::string folder = workFolder;
    std::string rest = parentOf(pagePath);
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        folder = files::joinPath(folder, rest.substr(0, slash));
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        if (::mkdir(folder.c_str(), 0777) == 0) continue;
        const int error = errno;
        struct stat info {};
        if (error == EEXIST && ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
        throw QuillError("Der Ordner \"" + folder + "\" für die lokalen Kopien kann nicht angelegt werden" +
                         (error == EEXIST ? std::string(": Dort liegt schon etwas anderes als ein Ordner.")
                                          : ". " + systemErrorText(error)));
    }
}

void removeEmptyCopyFolders(const std::string& workFolder, const std::vector<RemotePage>& pages) {
    std::set<std::string> folders;
    for (const auto& page : pages) {
        for (std::string folder = parentOf(page.path); !folder.empty(); folder = parentOf(folder))
            folders.insert(folder);
    }
    std::vector<std::string> deepestFirst(folders.begin(), folders.end());
    std::sort(deepestFirst.begin(), deepestFirst.end(), [](const std::string& a, const std::string& b) {
        return std::count(a.begin(), a.end(), '/') > std::count(b.begin(), b.end(), '/');
    });
    for (const auto& folder : deepestFirst) ::rmdir(files::joinPath(workFolder, folder).c_str());
}

}  // namespace quill::ftp
