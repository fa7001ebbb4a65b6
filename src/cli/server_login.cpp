#include "cli/server_login.hpp"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "cli/cli_settings.hpp"
#include "cli/terminal_password.hpp"
#include "files/string_list_file.hpp"
#include "remote/server_address.hpp"
#include "settings/settings_file.hpp"
#include "sftp/host_key.hpp"
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
        throw UsageError(
            "--fingerprint braucht den SHA-256-Fingerabdruck: 64 Hexadezimalziffern, mit oder ohne "
            "Doppelpunkte, nicht \"" +
            given + "\".");
    return digits;
}

}  // namespace

std::vector<OptionSpec> serverLoginOptions() {
    return {{"--host", true}, {"--port", true}, {"--user", true}, {"--password-env", true}, {"--password-file", true},
            {"--active"},     {"--tls"},        {"--sftp"},       {"--fingerprint", true},  {"--settings", true}};
}

ftp::RemoteRunFields serverFields(const ParsedArguments& parsed, CliIo& io, const std::string& command,
                                  const std::string& defaultHost) {
    ftp::RemoteRunFields fields;
    fields.passive = true;
    if (const auto settings = parsed.value("--settings")) fields = CliSettings(*settings).ftpFields();
    if (const auto host = parsed.value("--host")) fields.host = utf8ToCp1252(*host);
    if (fields.host.empty()) fields.host = defaultHost;
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
        throw UsageError(
            command + " braucht --host, --user und ein Passwort (--password-env, --password-file oder am Terminal).");
    return fields;
}

std::uint16_t serverPort(const ParsedArguments& parsed) {
    const auto text = parsed.value("--port");
    // The protocol's own.
    if (!text) return 0;
    const auto port = tryParseInteger(*text);
    if (!port || *port < 1 || *port > 65535) throw UsageError("Ungültiger Port: " + *text);
    return static_cast<std::uint16_t>(*port);
}

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

void trustForThisProcess(const ftp::RemoteRunFields& fields, const std::string& fingerprint) {
    if (fingerprint.empty()) return;
    if (ftp::selectsSftp(fields.host))
        settings::SettingsFile().setHostKey(hostKeyName(fields), fingerprint);
    else
        settings::SettingsFile().setCertificatePin(fields.host, fingerprint);
}

bool refuseUnknownServer(CliIo& io, const std::string& question, bool sftp) {
    std::string text;
    for (const char c : question)
        if (c != '\r') text += c;
    io.err << text << "\nNein. Mit --fingerprint und dem Fingerabdruck oben wird "
           << (sftp ? "dieser Serverschlüssel" : "dieses Zertifikat") << " angenommen.\n";
    return false;
}

}  // namespace quill::cli
