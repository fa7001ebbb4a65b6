#include <ostream>

#include "cli/arguments.hpp"
#include "cli/cli_settings.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "cli/json_writer.hpp"
#include "cli/run_report.hpp"
#include "cli/site_files.hpp"
#include "cli/site_run.hpp"
#include "cli/stop_signals.hpp"
#include "cli/terminal_progress.hpp"
#include "runs/backup_scope.hpp"

namespace quill::cli {

int runCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed = parseArguments(args, {{"--help"},
                                                         {"--recursive"},
                                                         {"--mask", true, true},
                                                         {"--all"},
                                                         {"--dry-run"},
                                                         {"--json"},
                                                         {"--verbose"},
                                                         {"--settings", true},
                                                         {"--exceptions", true},
                                                         {"--no-backup"}});
    if (parsed.has("--help")) return io.out << helpText(Command::Run), kExitDone;
    if (parsed.operands().empty()) throw UsageError("run erwartet mindestens einen PFAD.");
    const bool dryRun = parsed.has("--dry-run");

    const bool json = parsed.has("--json");
    SiteRun run;
    std::optional<RunBackup> backup;
    if (!dryRun && backupWanted(parsed)) backup.emplace(backupsRoot(), RunKind::Local, joinedOperands(parsed));
    {
        const StopSignals stop;
        TerminalProgress progress(io.err, io.errIsTerminal);
        const StringList paths =
            collectSiteFiles(parsed.operands(), chosenMasks(parsed), parsed.has("--recursive"), &progress);
        SiteRunOptions options{dryRun, parsed.has("--all"), dryRun || json, chosenExceptions(parsed), &progress};
        if (backup) options.backup = keepingOriginalsInBatches(*backup);
        try {
            run = encodeSiteFiles(paths, options);
        } catch (const std::exception& failure) {
            if (backup) backup->failed(failure.what());
            throw;
        }
    }
    if (backup) backup->readable(readableLines(run.readable.counted));

    const bool verbose = parsed.has("--verbose");
    if (json)
        io.out << runJsonReport(run, dryRun, verbose) << '\n';
    else
        writeRunText(run, dryRun, verbose, io.out);
    if (backup && backup->exists() && !json)
        io.out << "Sicherung: " << shownName(backup->folder()) << " (rückgängig: quillmaskerade-cli undo)\n";
    for (const auto& file : run.files)
        if (dryRun && file.changed) return kExitFound;
    return kExitDone;
}

}  // namespace quill::cli
