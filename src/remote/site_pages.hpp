#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "remote_folder/remote_folder.hpp"
#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill::ftp {

// A page of a remote run: where it lives on the server and how the user
// knows it.
struct RemotePage {
    std::string path;    // as FileBox shows it: the name, or its path below the start folder ("team/index.html")
    std::string folder;  // its absolute server folder; "" for the folder the run is in
    std::string name;    // its name in that folder

    // Its full server path where the folder is known, else its name.
    std::string serverPath() const;
};

// The pages of a whole tree: every file below the server's current folder
// whose name matches one of the masks, mask after mask, each page once, in
// the order of the walk; names of the upload's temporary files are never
// pages. folders counts the folders listed. The walk's bounds hold
// (remote::ETreeBoundExceeded).
struct SitePages {
    std::vector<RemotePage> pages;
    std::size_t folders = 0;
};
SitePages listSitePages(remote::RemoteFolder& server, const StringList& masks, RunObserver* observer);

// Makes the folders a page's copy needs below the work folder. Each one must
// be a folder of its own, never a link that could lead out of it.
void createCopyFolders(const std::string& workFolder, const std::string& pagePath);

// Removes the folders below the work folder that the pages' copies needed,
// deepest first, where they are empty.
void removeEmptyCopyFolders(const std::string& workFolder, const std::vector<RemotePage>& pages);

}  // namespace quill::ftp
