#include <algorithm>
#include <ostream>

#include "cli/arguments.hpp"
#include "cli/cli_settings.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "cli/json_writer.hpp"
#include "cli/private_work_folder.hpp"
#include "cli/server_login.hpp"
#include "remote/remote_undo.hpp"
#include "remote/server_address.hpp"
#include "remote/server_connection.hpp"
#include "runs/run_backup.hpp"

namespace quill::cli {

namespace {

std::string placeText(const KeptRun& run) {
    return run.kind == RunKind::Remote ? run.place + " " + run.serverFolder : run.place;
}

// A run on a server is undone there, logged in as "remote" would be; the
// host is the run's unless given.
UndoResult undoOnServer(const ParsedArguments& parsed, const KeptRun& run, CliIo& io) {
    const ftp::RemoteRunFields fields = serverFields(parsed, io, "undo", run.place);
    const std::uint16_t port = serverPort(parsed);
    const std::string fingerprint = trustedFingerprint(parsed, fields);
    const bool sftp = ftp::selectsSftp(fields.host);
    const auto server = remote::serverConnection(port);
    const PrivateWorkFolder work;
    trustForThisProcess(fields, fingerprint);
    return ftp::undoRemoteRun(*server, fields, run, [&io, sftp](const std::string& question) {
        return refuseUnknownServer(io, question, sftp);
    });
}

}  // namespace

int backupsCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed = parseArguments(args, {{"--help"}, {"--json"}});
    if (parsed.has("--help")) return io.out << helpText(Command::Backups), kExitDone;
    if (!parsed.operands().empty()) throw UsageError("backups nimmt keine Argumente: " + parsed.operands().front());
    const std::vector<KeptRun> runs = keptRuns(backupsRoot());
    if (parsed.has("--json")) {
        JsonWriter json;
        json.beginObject();
        json.key("format").number(1);
        json.key("runs").beginArray();
        for (const auto& run : runs) {
            json.beginObject();
            json.key("run").string(run.name);
            json.key("kind").string(run.kind == RunKind::Remote ? "remote" : "local");
            json.key("place").string(shownName(placeText(run)));
            json.key("files").number(static_cast<long long>(run.files.size()));
            json.key("undone").boolean(run.undone);
            json.endObject();
        }
        json.endArray();
        json.endObject();
        io.out << json.text() << '\n';
        return kExitDone;
    }
    for (const auto& run : runs) {
        io.out << run.name << "  " << kindWord(run.kind) << "  " << shownName(placeText(run)) << "  "
               << run.files.size() << (run.files.size() == 1 ? " Datei" : " Dateien")
               << (run.undone ? "  (rückgängig gemacht)" : "") << '\n';
    }
    return kExitDone;
}

int undoCommand(const std::vector<std::string>& args, CliIo& io) {
    std::vector<OptionSpec> options = serverLoginOptions();
    options.push_back({"--help"});
    const ParsedArguments parsed = parseArguments(args, options);
    if (parsed.has("--help")) return io.out << helpText(Command::Undo), kExitDone;
    if (parsed.operands().size() > 1) throw UsageError("undo nimmt höchstens einen LAUF.");
    const std::vector<KeptRun> runs = keptRuns(backupsRoot());
    const auto chosen = parsed.operands().empty()
                            ? std::find_if(runs.begin(), runs.end(), [](const KeptRun& run) { return !run.undone; })
                            : std::find_if(runs.begin(), runs.end(),
                                           [&](const KeptRun& run) { return run.name == parsed.operands().front(); });
    if (chosen == runs.end()) {
        if (!parsed.operands().empty())
            throw UsageError("Keine Sicherung namens " + parsed.operands().front() +
                             " (quillmaskerade-cli backups zeigt alle).");
        throw UsageError("Es gibt keinen gesicherten Lauf, der noch rückgängig zu machen wäre.");
    }
    const UndoResult result =
        chosen->kind == RunKind::Remote ? undoOnServer(parsed, *chosen, io) : undoLocalRun(*chosen);
    std::string report = undoReport(result);
    for (char& c : report)
        if (c == '\r') c = ' ';
    io.out << "Lauf " << chosen->name << ":\n" << report << '\n';
    return result.leftAlone.empty() ? kExitDone : kExitFound;
}

}  // namespace quill::cli
