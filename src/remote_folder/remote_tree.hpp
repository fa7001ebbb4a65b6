#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "remote_folder/remote_folder.hpp"
#include "runs/run_progress.hpp"
#include "text/quill_error.hpp"

namespace quill::remote {

// How far a walk over a server's folders may go in one run. A hostile or
// broken server must not make it loop, fill the memory or run for ever.
struct TreeBounds {
    std::size_t levels = 32;  // the start folder is the first
    std::size_t entries = 100000;
    std::size_t listingBytes = std::size_t{64} << 20;
};

// A walk that met a bound; nothing has been downloaded or uploaded. The
// message names the bound.
class ETreeBoundExceeded : public QuillError {
public:
    using QuillError::QuillError;
};

struct TreeFile {
    std::string path;  // below the start folder, parts joined by "/"
    std::optional<std::uint64_t> size;
};

struct RemoteTree {
    std::string start;  // the start folder's absolute server path
    std::vector<TreeFile> files;
    std::size_t folders = 0;  // listed, the start folder included
};

// Lists one folder given by its path below the start folder ("" for the
// start folder itself), with at most maxBytes of listing.
using FolderLister = std::function<FolderListing(const std::string& relativeFolder, std::size_t maxBytes)>;

// Every file below the start folder, depth-first: a folder's files before
// its sub-folders', each folder's entries by name with letter case ignored,
// as the local folder search takes them. Links are neither listed nor
// followed, and folders whose names begin with "." are not entered. The
// observer may cancel before each listing (RunCancelled in the search step).
RemoteTree walkRemoteTree(const FolderLister& list, RunObserver* observer, const TreeBounds& bounds = {});

// The same below the server's current folder.
RemoteTree walkRemoteTree(RemoteFolder& server, RunObserver* observer, const TreeBounds& bounds = {});

// A server path below an absolute folder.
std::string serverPathOf(const std::string& folder, const std::string& name);

}  // namespace quill::remote
