#include "remote_folder/remote_tree.hpp"

#include <algorithm>

#include "runs/file_mask.hpp"
#include "text/cp1252.hpp"

namespace quill::remote {

namespace {

constexpr const char* kNothingChanged =
    " Der Vorgang wurde vor dem ersten Hochladen beendet; auf dem Server wurde "
    "nichts geändert.";

std::string joined(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

class Walk {
public:
    Walk(const FolderLister& list, RunObserver* observer, const TreeBounds& bounds)
        : list_(list), observer_(observer), bounds_(bounds) {}

    void visit(const std::string& folder, std::size_t level) {
        throwIfCancelled(observer_, RunStep::Searching);
        observerOrNone(observer_).progress(tree_.files.size(), 0, folder.empty() ? "/" : folder);
        FolderListing listing;
        try {
            listing = list_(folder, bounds_.listingBytes - bytes_);
        } catch (const EListingOverBudget&) {
            throw ETreeBoundExceeded("Die Ordnerlisten des Servers sind zusammen größer als " +
                                     std::to_string(bounds_.listingBytes >> 20) + " MiB." + kNothingChanged);
        }
        bytes_ += listing.bytes;
        entries_ += listing.entries.size();
        ++tree_.folders;
        if (entries_ > bounds_.entries)
            throw ETreeBoundExceeded("Die Ordner des Servers enthalten mehr als " + std::to_string(bounds_.entries) +
                                     " Einträge." + kNothingChanged);

        auto& entries = listing.entries;
        std::sort(entries.begin(), entries.end(),
                  [](const RemoteEntry& a, const RemoteEntry& b) { return nameLessIgnoringCase(a.name, b.name); });
        for (const auto& entry : entries) {
            if (entry.kind == RemoteEntry::Kind::File) tree_.files.push_back({joined(folder, entry.name), entry.size});
        }
        for (const auto& entry : entries) {
            if (entry.kind != RemoteEntry::Kind::Folder || entry.name.front() == '.') continue;
            if (level + 1 > bounds_.levels)
                throw ETreeBoundExceeded("Die Ordner des Servers sind tiefer als " + std::to_string(bounds_.levels) +
                                         " Ebenen verschachtelt (\"" + cp1252ToUtf8(joined(folder, entry.name)) +
                                         "\")." + kNothingChanged);
            visit(joined(folder, entry.name), level + 1);
        }
    }

    RemoteTree take() { return std::move(tree_); }

private:
    const FolderLister& list_;
    RunObserver* observer_;
    const TreeBounds& bounds_;
    RemoteTree tree_;
    std::size_t bytes_ = 0;
    std::size_t entries_ = 0;
};

}  // namespace

RemoteTree walkRemoteTree(const FolderLister& list, RunObserver* observer, const TreeBounds& bounds) {
    Walk walk(list, observer, bounds);
    walk.visit("", 1);
    return walk.take();
}

RemoteTree walkRemoteTree(RemoteFolder& server, RunObserver* observer, const TreeBounds& bounds) {
    observerOrNone(observer).stepStarted(RunStep::Searching, 0);
    const std::string start = server.currentFolder();
    RemoteTree tree = walkRemoteTree(
        [&](const std::string& folder, std::size_t maxBytes) {
            return server.listFolder(folder.empty() ? start : serverPathOf(start, folder), maxBytes);
        },
        observer, bounds);
    tree.start = start;
    return tree;
}

std::string serverPathOf(const std::string& folder, const std::string& name) {
    return (!folder.empty() && folder.back() == '/' ? folder : folder + "/") + name;
}

}  // namespace quill::remote
