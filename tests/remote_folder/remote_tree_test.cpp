#include "remote_folder/remote_tree.hpp"

#include <gtest/gtest.h>

#include <map>

namespace quill::remote {
namespace {

// A server's folders in memory: each listing costs its names' bytes plus one
// per line, as a bare listing would.
struct FakeSite {
    std::map<std::string, std::vector<RemoteEntry>> folders;
    std::vector<std::string> listed;

    FolderLister lister() {
        return [this](const std::string& folder, std::size_t maxBytes) {
            listed.push_back(folder);
            FolderListing listing;
            listing.entries = folders.at(folder);
            for (const auto& entry : listing.entries) listing.bytes += entry.name.size() + 1;
            if (listing.bytes > maxBytes) throw EListingOverBudget();
            return listing;
        };
    }
};

using EntryKind = RemoteEntry::Kind;

RemoteEntry entry(std::string name, EntryKind kind) {
    return {std::move(name), kind, std::nullopt, {}};
}

FakeSite chainOfFolders(std::size_t levels) {
    FakeSite site;
    std::string folder;
    for (std::size_t level = 1; level <= levels; ++level) {
        site.folders[folder] = {entry("index.html", EntryKind::File)};
        if (level < levels) site.folders[folder].push_back(entry("d", EntryKind::Folder));
        folder = folder.empty() ? "d" : folder + "/d";
    }
    return site;
}

TEST(RemoteTree, TakesFilesAsTheLocalSearchDoesAndFollowsNoLink) {
    FakeSite site;
    site.folders[""] = {entry("Zeta.html", EntryKind::File),  entry("team", EntryKind::Folder),
                        entry("alpha.html", EntryKind::File), entry("loop", EntryKind::Link),
                        entry(".git", EntryKind::Folder),     entry("Blog", EntryKind::Folder),
                        entry("null", EntryKind::Other)};
    site.folders["team"] = {entry("index.html", EntryKind::File)};
    site.folders["Blog"] = {entry("2026", EntryKind::Folder), entry("b.html", EntryKind::File)};
    site.folders["Blog/2026"] = {entry("post.html", EntryKind::File), entry("up", EntryKind::Link)};

    const RemoteTree tree = walkRemoteTree(site.lister(), nullptr);
    std::vector<std::string> paths;
    for (const auto& file : tree.files) paths.push_back(file.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"alpha.html", "Zeta.html", "Blog/b.html", "Blog/2026/post.html",
                                               "team/index.html"}));
    EXPECT_EQ(tree.folders, 4u);
    EXPECT_EQ(site.listed, (std::vector<std::string>{"", "Blog", "Blog/2026", "team"}));
}

TEST(RemoteTree, StopsAtEachBoundBeforeGoingPastIt) {
    struct BoundCase {
        const char* what;
        FakeSite site;
        TreeBounds bounds;
        const char* named;  // in the message; nullptr: within the bounds
    };
    FakeSite wide;
    for (int i = 0; i < 10; ++i) wide.folders[""].push_back(entry("p" + std::to_string(i) + ".html", EntryKind::File));
    BoundCase cases[] = {
        {"32 levels", chainOfFolders(32), {}, nullptr},
        {"33 levels", chainOfFolders(33), {}, "32 Ebenen"},
        {"entries at the bound", wide, {32, 10, 1000}, nullptr},
        {"entries past the bound", wide, {32, 9, 1000}, "mehr als 9 Einträge"},
        {"listing bytes across folders past the bound",
         chainOfFolders(3),
         {32, 100, 36},
         "Ordnerlisten des Servers sind zusammen größer"},
        {"listing bytes across folders at the bound", chainOfFolders(3), {32, 100, 37}, nullptr},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.named == nullptr) {
            EXPECT_NO_THROW(walkRemoteTree(c.site.lister(), nullptr, c.bounds));
            continue;
        }
        try {
            walkRemoteTree(c.site.lister(), nullptr, c.bounds);
            ADD_FAILURE() << "no bound met";
        } catch (const ETreeBoundExceeded& bound) {
            EXPECT_NE(std::string(bound.what()).find(c.named), std::string::npos) << bound.what();
        }
    }
}

class CancelAfterListings : public RunObserver {
public:
    explicit CancelAfterListings(std::size_t listings) : left_(listings) {}
    void progress(std::size_t, std::size_t, const std::string&) override {
        if (left_ > 0) --left_;
    }
    bool cancelRequested() const override { return left_ == 0; }

private:
    std::size_t left_;
};

TEST(RemoteTree, CancelEndsTheWalkBetweenTwoListings) {
    FakeSite site = chainOfFolders(10);
    CancelAfterListings observer(3);
    EXPECT_THROW(walkRemoteTree(site.lister(), &observer), RunCancelled);
    EXPECT_EQ(site.listed.size(), 3u);
}

}  // namespace
}  // namespace quill::remote
