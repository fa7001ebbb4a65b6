#include "runs/backup_scope.hpp"

namespace quill {

KeptAs keptAsLocal(const std::string& path) {
    return {path, localMirrorPath(path)};
}

PageHook keepingOriginals(RunBackup& backup, KeptNaming naming, PageHook next) {
    return [&backup, naming = std::move(naming), next = std::move(next)](const PageChange& change) {
        const KeptAs kept = naming(change.path);
        backup.keep(kept.target, kept.mirror, change.before, change.after, change.places);
        if (next) next(change);
    };
}

RewriteHooks keepingOriginalsInBatches(RunBackup& backup) {
    RewriteHooks hooks;
    hooks.keepReplacedAt = [&backup](const PageChange& change) {
        const KeptAs kept = keptAsLocal(change.path);
        return backup.placeFor(kept.target, kept.mirror, change.before.size(), change.after, change.places);
    };
    hooks.beforeCommit = [&backup](files::RewriteBatch& pages) { backup.commitKept(pages); };
    return hooks;
}

BackupScope::BackupScope(EncodingRuns& runs, std::optional<RunBackup>& backup, KeptNaming naming)
    : runs_(runs), earlier_(runs.beforeWrite) {
    if (backup) runs_.beforeWrite = keepingOriginals(*backup, std::move(naming), earlier_);
}

BackupScope::~BackupScope() {
    runs_.beforeWrite = std::move(earlier_);
}

std::vector<std::string> readableLines(const std::vector<ReadableAddress>& hits) {
    std::vector<std::string> lines;
    lines.reserve(hits.size());
    for (const auto& hit : hits)
        lines.push_back(hit.path + ":" + std::to_string(hit.line) + ":" + std::to_string(hit.column) + ": " +
                        hit.address);
    return lines;
}

}  // namespace quill
