#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "addresses/address_audit.hpp"
#include "runs/encoding_runs.hpp"
#include "runs/local_run.hpp"
#include "runs/run_backup.hpp"

namespace quill {

// What a rewritten file is kept as: the file an undo restores (a local path,
// or a server page for a copy) and its mirror path in the backup.
struct KeptAs {
    std::string target;
    std::string mirror;
};
KeptAs keptAsLocal(const std::string& path);

using PageHook = std::function<void(const PageChange&)>;
using KeptNaming = std::function<KeptAs(const std::string& path)>;

// A hook that keeps every page in backup, with the bytes the run read, just
// before the page changes, then calls next.
PageHook keepingOriginals(RunBackup& backup, KeptNaming naming = keptAsLocal, PageHook next = {});

// The hooks of a local run that keeps every page in backup: the batch that
// replaces the pages keeps their originals (a second link to each where it
// can) and syncs them, and the backup's lines, together with the new pages.
RewriteHooks keepingOriginalsInBatches(RunBackup& backup);

// A remote run's backup while the run lasts: every copy the runs are about to
// change is kept first, and the runs' earlier listener still hears it. A
// scope without a backup changes nothing. The earlier listener is put back
// however the run ends.
class BackupScope {
public:
    BackupScope(EncodingRuns& runs, std::optional<RunBackup>& backup, KeptNaming naming);
    ~BackupScope();
    BackupScope(const BackupScope&) = delete;
    BackupScope& operator=(const BackupScope&) = delete;

private:
    EncodingRuns& runs_;
    PageHook earlier_;
};

// "PFAD:ZEILE:SPALTE: ADRESSE" for each hit: the audit's full list as the log keeps it.
std::vector<std::string> readableLines(const std::vector<ReadableAddress>& hits);

}  // namespace quill
