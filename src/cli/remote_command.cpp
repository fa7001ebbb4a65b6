#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <ostream>

#include "addresses/address_audit.hpp"
#include "cli/arguments.hpp"
#include "cli/cli_settings.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "cli/json_writer.hpp"
#include "cli/private_work_folder.hpp"
#include "cli/run_report.hpp"
#include "cli/server_login.hpp"
#include "cli/stop_signals.hpp"
#include "cli/terminal_password.hpp"
#include "cli/terminal_progress.hpp"
#include "cli/unified_diff.hpp"
#include "files/file_io.hpp"
#include "files/string_list_file.hpp"
#include "remote/remote_run.hpp"
#include "remote/server_address.hpp"
#include "remote/server_connection.hpp"
#include "runs/run_backup.hpp"
#include "settings/settings_file.hpp"
#include "sftp/host_key.hpp"
#include "text/cp1252.hpp"
#include "text/integer_parse.hpp"

namespace quill::cli {

namespace {

// Follows the run through its view and hooks: each copy's change (its diff
// while its old and new bytes are in hand), the report, the audit.
class RemoteRunRecorder {
public:
    RemoteRunRecorder(EncodingRuns& runs, CliIo& io, bool diffs) : runs_(runs), io_(io) {
        runs_.beforeWrite = [this, diffs](const PageChange& change) {
            const auto at = indexOf_.find(change.path);
            if (at == indexOf_.end()) return;
            FileResult& file = run_.files[at->second];
            file.changed = true;
            file.places += change.places;
            if (diffs) file.diff = unifiedDiff(shownName(file.path), change.before, change.after);
        };
    }

    ftp::RemoteRunView view(bool dryRun, bool sftp) {
        ftp::RemoteRunView view;
        view.refresh = [] {};
        // The password stays in memory: no settings file is written for the run.
        view.saveFields = false;
        view.uploadAfterReport = !dryRun;
        view.askQuestion = [this, sftp](const std::string& question) {
            return refuseUnknownServer(io_, question, sftp);
        };
        view.copiesReady = [this](const StringList& copies, const StringList& pages) {
            run_.files.clear();
            indexOf_.clear();
            for (std::size_t i = 0; i < copies.size(); ++i) {
                run_.files.push_back({cp1252ToUtf8(pages[i]), 0, false, {}});
                indexOf_.emplace(copies[i], i);
            }
            reportPending_ = true;
        };
        view.showMessage = [this](const RunOutcome& message) {
            if (auditBoxPending_) {
                // The window's box of readable addresses: here they are lines of the output.
                auditBoxPending_ = false;
                return;
            }
            if (!reportPending_) {
                // Not the run's report (e.g. refused server names): shown as it comes.
                (message.kind == OutcomeKind::Error ? io_.err : io_.out) << message.text << '\n';
                return;
            }
            reportPending_ = false;
            run_.outcome = message;
        };
        view.audited = [this](const std::vector<ReadableAddress>& hits) {
            run_.readable = splitByExceptions(hits, runs_.exceptions);
            auditBoxPending_ = !run_.readable.counted.empty();
        };
        return view;
    }

    const SiteRun& run() const { return run_; }

private:
    EncodingRuns& runs_;
    CliIo& io_;
    SiteRun run_;
    std::map<std::string, std::size_t> indexOf_;  // the copies' places in run_.files
    bool reportPending_ = false;
    bool auditBoxPending_ = false;
};

}  // namespace

int remoteCommand(const std::vector<std::string>& args, CliIo& io) {
    std::vector<OptionSpec> options = serverLoginOptions();
    options.insert(options.end(), {{"--help"},
                                   {"--folder", true},
                                   {"--mask", true, true},
                                   {"--recursive"},
                                   {"--all"},
                                   {"--dry-run"},
                                   {"--json"},
                                   {"--verbose"},
                                   {"--exceptions", true},
                                   {"--no-backup"}});
    const ParsedArguments parsed = parseArguments(args, options);
    if (parsed.has("--help")) return io.out << helpText(Command::Remote), kExitDone;
    if (!parsed.operands().empty()) throw UsageError("remote nimmt keine Pfade: " + parsed.operands().front());
    const bool dryRun = parsed.has("--dry-run");

    // Everything that names a local file is read before the run changes folder.
    ftp::RemoteRunFields fields = serverFields(parsed, io, "remote");
    const StringList masks = chosenMasks(parsed);
    const std::uint16_t port = serverPort(parsed);
    const std::string fingerprint = trustedFingerprint(parsed, fields);
    const ExceptionList exceptions = chosenExceptions(parsed);
    const bool sftp = ftp::selectsSftp(fields.host);
    const std::string backupRoot = backupWanted(parsed) ? backupsRoot() : std::string();

    EncodingRuns runs;
    runs.includeSubfolders = false;
    runs.protectAll = parsed.has("--all");
    runs.exceptions = exceptions;
    RemoteRunRecorder recorder(runs, io, dryRun || parsed.has("--json"));
    StringList fileBox;
    const auto server = remote::serverConnection(port);
    {
        PrivateWorkFolder work;
        const StopSignals stop;
        TerminalProgress progress(io.err, io.errIsTerminal);
        runs.observer = &progress;
        // The private folder's settings: what is trusted here is trusted for this run only.
        trustForThisProcess(fields, fingerprint);
        try {
            ftp::RemoteRunView view = recorder.view(dryRun, sftp);
            view.backupRoot = backupRoot;
            ftp::FTP_Go(*server, fields, masks, runs, fileBox, view);
        } catch (...) {
            if (work.holdsCopies()) io.err << "Die lokalen Kopien liegen in " << work.path() << "\n";
            throw;
        }
    }
    const bool verbose = parsed.has("--verbose");
    if (parsed.has("--json"))
        io.out << runJsonReport(recorder.run(), dryRun, verbose) << '\n';
    else
        writeRunText(recorder.run(), dryRun, verbose, io.out);
    if (!dryRun) return kExitDone;
    for (const auto& file : recorder.run().files)
        if (file.changed) return kExitFound;
    return kExitDone;
}

}  // namespace quill::cli
