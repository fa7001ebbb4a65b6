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

namespace quill::cli {

int runCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed = parseArguments(
        args, {{"--help"}, {"--recursive"}, {"--mask", true, true}, {"--all"}, {"--dry-run"}, {"--json"},
               {"--verbose"}, {"--settings", true}, {"--exceptions", true}});
    if (parsed.has("--help")) return io.out << helpText(Command::Run), kExitDone;
    if (parsed.operands().empty()) throw UsageError("run erwartet mindestens einen PFAD.");
    const bool dryRun = parsed.has("--dry-run");

    const bool json = parsed.has("--json");
    SiteRun run;
    {
        const StopSignals stop;
        TerminalProgress progress(io.err, io.errIsTerminal);
        const StringList paths =
            collectSiteFiles(parsed.operands(), chosenMasks(parsed), parsed.has("--recursive"), &progress);
        run = encodeSiteFiles(paths, {dryRun, parsed.has("--all"), dryRun || json, chosenExceptions(parsed), &progress});
    }

    const bool verbose = parsed.has("--verbose");
    if (json)
        io.out << runJsonReport(run, dryRun, verbose) << '\n';
    else
        writeRunText(run, dryRun, verbose, io.out);
    for (const auto& file : run.files)
        if (dryRun && file.changed) return kExitFound;
    return kExitDone;
}

}  // namespace quill::cli
