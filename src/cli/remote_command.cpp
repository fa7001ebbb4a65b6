#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <map>
#include <ostream>

#include "cli/arguments.hpp"
#include "cli/cli_settings.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "cli/json_writer.hpp"
#include "cli/private_work_folder.hpp"
#include "cli/run_report.hpp"
#include "cli/stop_signals.hpp"
#include "cli/terminal_password.hpp"
#include "cli/terminal_progress.hpp"
#include "cli/unified_diff.hpp"
#include "addresses/address_audit.hpp"
#include "files/file_io.hpp"
#include "files/string_list_file.hpp"
#include "remote/remote_run.hpp"
#include "remote/server_connection.hpp"
#include "remote/server_address.hpp"
#include "sftp/host_key.hpp"
#include "runs/run_backup.hpp"
#include "settings/settings_file.hpp"
#include "text/cp1252.hpp"
#include "text/integer_parse.hpp"

namespace quill::cli {

namespace {

// A password file must be the user's secret: one that others may read is
// refused before anything is sent with it.
std::string passwordFromFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw UsageError("Die Passwortdatei " + path + " ist nicht lesbar: " + std::strerror(errno));
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw UsageError("Die Passwortdatei " + path +
                         " ist auch für Gruppe oder andere lesbar und wird nicht benutzt. Abhilfe: chmod 600 " + path);
    const StringList lines = files::loadStringList(path);
    return lines.empty() ? std::string() : lines.front();
}

// The password comes from the environment or a file, never from the command line.
std::optional<std::string> passwordFrom(const ParsedArguments& parsed) {
    const auto variable = parsed.value("--password-env");
    const auto file = parsed.value("--password-file");
    if (variable && file) throw UsageError("Bitte nur eine der Optionen --password-env und --password-file angeben.");
    if (variable) {
        const char* value = std::getenv(variable->c_str());
        if (value == nullptr) throw UsageError("Die Umgebungsvariable " + *variable + " ist nicht gesetzt.");
        return utf8ToCp1252(value);
    }
    if (file) return passwordFromFile(*file);
    return std::nullopt;
}

// --sftp or a host "sftp://…" chooses SFTP; --port then goes into the host.
void chooseProtocol(const ParsedArguments& parsed, ftp::RemoteRunFields& fields) {
    if (parsed.has("--sftp") && !ftp::selectsSftp(fields.host)) fields.host = "sftp://" + fields.host;
    if (!ftp::selectsSftp(fields.host)) return;
    if (parsed.has("--tls") || parsed.has("--active"))
        throw UsageError("--tls und --active gelten nur für FTP, nicht für SFTP.");
    fields.passive = false;
    fields.tls = false;
    const auto port = parsed.value("--port");
    if (port && !ftp::parseServerAddress(fields.host).portGiven) fields.host += ":" + *port;
}

ftp::RemoteRunFields fieldsFrom(const ParsedArguments& parsed, CliIo& io) {
    ftp::RemoteRunFields fields;
    fields.passive = true;
    if (const auto settings = parsed.value("--settings")) fields = CliSettings(*settings).ftpFields();
    if (const auto host = parsed.value("--host")) fields.host = utf8ToCp1252(*host);
    if (const auto user = parsed.value("--user")) fields.user = utf8ToCp1252(*user);
    if (const auto folder = parsed.value("--folder")) fields.folder = utf8ToCp1252(*folder);
    if (const auto password = passwordFrom(parsed)) fields.password = *password;
    if (parsed.has("--active")) fields.passive = false;
    if (parsed.has("--tls")) fields.tls = true;
    if (parsed.has("--recursive")) fields.subfolders = true;
    chooseProtocol(parsed, fields);
    // Nothing names a password: a person at a terminal is asked for it
    // (over SFTP a key may log in without one).
    if (fields.password.empty() && !fields.host.empty() && !fields.user.empty() && !ftp::selectsSftp(fields.host)) {
        const std::string prompt = "Passwort für " + cp1252ToUtf8(fields.user) + "@" + cp1252ToUtf8(fields.host) + ": ";
        if (const auto typed = askPasswordOnTerminal(io, prompt)) fields.password = utf8ToCp1252(*typed);
    }
    // Over SFTP a key may log in without one.
    if (fields.host.empty() || fields.user.empty() || (fields.password.empty() && !ftp::selectsSftp(fields.host)))
        throw UsageError("remote braucht --host, --user und ein Passwort (--password-env, --password-file oder am Terminal).");
    return fields;
}

// The host key of an SFTP server, "host:port" as the settings file keeps it.
std::string hostKeyName(const ftp::RemoteRunFields& fields) {
    const ftp::ServerAddress address = ftp::parseServerAddress(fields.host);
    return sftp::hostPortKey(address.host, address.port);
}

// 64 hex digits, in pairs with colons or without: upper-case, without colons.
std::string normalizedFingerprint(const std::string& given) {
    std::string digits;
    bool allHex = true;
    for (const char c : given) {
        if (c == ':') continue;
        allHex = allHex && std::isxdigit(static_cast<unsigned char>(c)) != 0;
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (!allHex || digits.size() != 64)
        throw UsageError("--fingerprint braucht den SHA-256-Fingerabdruck: 64 Hexadezimalziffern, mit oder ohne "
                         "Doppelpunkte, nicht \"" + given + "\".");
    return digits;
}

// The certificate or host key accepted without a question: --fingerprint,
// else the one the settings file trusts for the host.
std::string trustedFingerprint(const ParsedArguments& parsed, const ftp::RemoteRunFields& fields) {
    const bool sftp = ftp::selectsSftp(fields.host);
    const auto given = parsed.value("--fingerprint");
    if (given && !fields.tls && !sftp)
        throw UsageError("--fingerprint gilt nur für verschlüsselte Verbindungen (--tls oder SFTP).");
    if (given && sftp && given->rfind("SHA256:", 0) != 0)
        throw UsageError("Für SFTP hat --fingerprint die Form SHA256:…, wie ssh-keygen -l sie zeigt.");
    if (given) return sftp ? utf8ToCp1252(*given) : normalizedFingerprint(*given);
    if (const auto path = parsed.value("--settings")) {
        const settings::SettingsFile file(*path);
        return sftp ? file.hostKey(hostKeyName(fields)) : file.certificatePin(fields.host);
    }
    return {};
}

// Nobody answers a question in a build: the certificate is refused, and the
// user learns how to accept exactly this one.
bool refuseUnknownServer(CliIo& io, const std::string& question, bool sftp) {
    std::string text;
    for (const char c : question)
        if (c != '\r') text += c;
    io.err << text << "\nNein. Mit --fingerprint und dem Fingerabdruck oben wird "
           << (sftp ? "dieser Serverschlüssel" : "dieses Zertifikat") << " angenommen.\n";
    return false;
}

std::uint16_t portFrom(const ParsedArguments& parsed) {
    const auto text = parsed.value("--port");
    // The protocol's own.
    if (!text) return 0;
    const auto port = tryParseInteger(*text);
    if (!port || *port < 1 || *port > 65535) throw UsageError("Ungültiger Port: " + *text);
    return static_cast<std::uint16_t>(*port);
}

// Follows the run through its view: the copies' bytes before the scan, their
// bytes and the places replaced when the report comes, the report itself.
class RemoteRunRecorder {
public:
    RemoteRunRecorder(EncodingRuns& runs, CliIo& io) : runs_(runs), io_(io) {
        runs_.beforeWrite = [this](const PageChange& change) { placesOf_[change.path] += change.places; };
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
            before_.clear();
            for (std::size_t i = 0; i < copies.size(); ++i) {
                run_.files.push_back({cp1252ToUtf8(pages[i]), 0, false, {}});
                before_.push_back(files::readWholeFile(copies[i]));
            }
            copies_ = copies;
            pages_ = pages;
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
            for (std::size_t i = 0; i < copies_.size(); ++i) {
                FileResult& file = run_.files[i];
                const std::string after = files::readWholeFile(copies_[i]);
                file.changed = after != before_[i];
                file.diff = unifiedDiff(shownName(file.path), before_[i], after);
                const auto places = placesOf_.find(copies_[i]);
                run_.files[i].places = places == placesOf_.end() ? 0 : places->second;
            }
            // Named by their server files, as the window's box names them.
            std::vector<ReadableAddress> hits = auditFiles(copies_);
            for (auto& hit : hits) {
                const auto copy = std::find(copies_.begin(), copies_.end(), hit.path);
                hit.path = cp1252ToUtf8(pages_[static_cast<std::size_t>(copy - copies_.begin())]);
            }
            run_.readable = splitByExceptions(std::move(hits), runs_.exceptions);
            auditBoxPending_ = !run_.readable.counted.empty();
        };
        return view;
    }

    const SiteRun& run() const { return run_; }

private:
    EncodingRuns& runs_;
    CliIo& io_;
    SiteRun run_;
    StringList copies_;
    StringList pages_;
    StringList before_;  // each copy as downloaded
    std::map<std::string, std::size_t> placesOf_;
    bool reportPending_ = false;
    bool auditBoxPending_ = false;
};

}  // namespace

int remoteCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed = parseArguments(
        args, {{"--help"}, {"--host", true}, {"--port", true}, {"--user", true}, {"--password-env", true},
               {"--password-file", true}, {"--folder", true}, {"--active"}, {"--tls"}, {"--sftp"}, {"--fingerprint", true},
               {"--mask", true, true},
               {"--recursive"}, {"--all"}, {"--dry-run"}, {"--json"}, {"--verbose"}, {"--settings", true},
               {"--exceptions", true}, {"--no-backup"}});
    if (parsed.has("--help")) return io.out << helpText(Command::Remote), kExitDone;
    if (!parsed.operands().empty()) throw UsageError("remote nimmt keine Pfade: " + parsed.operands().front());
    const bool dryRun = parsed.has("--dry-run");

    // Everything that names a local file is read before the run changes folder.
    ftp::RemoteRunFields fields = fieldsFrom(parsed, io);
    const StringList masks = chosenMasks(parsed);
    const std::uint16_t port = portFrom(parsed);
    const std::string fingerprint = trustedFingerprint(parsed, fields);
    const ExceptionList exceptions = chosenExceptions(parsed);
    const bool sftp = ftp::selectsSftp(fields.host);
    const std::string backupRoot = backupWanted(parsed) ? backupsFolder() : std::string();

    EncodingRuns runs;
    runs.includeSubfolders = false;
    runs.protectAll = parsed.has("--all");
    runs.exceptions = exceptions;
    RemoteRunRecorder recorder(runs, io);
    StringList fileBox;
    const auto server = remote::serverConnection(port);
    {
        PrivateWorkFolder work;
        const StopSignals stop;
        TerminalProgress progress(io.err, io.errIsTerminal);
        runs.observer = &progress;
        // The private folder's settings: what is trusted here is trusted for this run only.
        if (!fingerprint.empty() && sftp) settings::SettingsFile().setHostKey(hostKeyName(fields), fingerprint);
        if (!fingerprint.empty() && !sftp) settings::SettingsFile().setCertificatePin(fields.host, fingerprint);
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
