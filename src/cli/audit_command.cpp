#include <cerrno>
#include <ostream>

#include "addresses/address_audit.hpp"
#include "cli/arguments.hpp"
#include "cli/audit_report.hpp"
#include "cli/cli_settings.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "cli/json_writer.hpp"
#include "cli/site_files.hpp"
#include "files/file_io.hpp"

namespace quill::cli {

int auditCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed = parseArguments(args, {{"--help"},
                                                         {"--recursive"},
                                                         {"--mask", true, true},
                                                         {"--json"},
                                                         {"--verbose"},
                                                         {"--settings", true},
                                                         {"--exceptions", true}});
    if (parsed.has("--help")) return io.out << helpText(Command::Audit), kExitDone;
    if (parsed.operands().empty()) throw UsageError("audit erwartet mindestens einen PFAD.");
    const bool verbose = parsed.has("--verbose");
    const ExceptionList exceptions = chosenExceptions(parsed);

    const StringList paths =
        collectSiteFiles(parsed.operands(), chosenMasks(parsed), parsed.has("--recursive"), nullptr);
    // A gate must not pass because a name was mistyped.
    for (const auto& path : paths)
        if (!files::fileExists(path)) throw files::FileOpenError(files::openErrorText(path, ENOENT));
    const AuditSplit hits = splitByExceptions(auditFiles(paths), exceptions);

    if (parsed.has("--json")) {
        JsonWriter json;
        beginJsonReport(json);
        writeTotalsJson({paths.size(), 0, 0}, hits, json);
        writeReadableJson(hits, verbose, json);
        json.endObject();
        io.out << json.text() << '\n';
    } else {
        writeReadableLines(hits, verbose, io.out);
    }
    return hits.counted.empty() ? kExitDone : kExitFound;
}

}  // namespace quill::cli
