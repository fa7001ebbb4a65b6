#include "settings/settings_file.hpp"

#include <sys/stat.h>

#include "files/file_io.hpp"
#include "settings/ini_file.hpp"

namespace quill {

std::string settingsFilePath() {
    return files::inCurrentFolder("Einstellungen.qmk");
}

namespace settings {

namespace {

constexpr std::string_view kProgramSection = "Quillmaskerade";
constexpr std::string_view kFtpSection = "FTP-Daten";

constexpr std::string_view kMailAddressKey = "EMailAdresse";
constexpr std::string_view kSubjectKey = "Betreff";
constexpr std::string_view kFolderKey = "Verzeichnis";  // in both sections
constexpr std::string_view kProtectAllKey = "AlleAdressen";
constexpr std::string_view kBackupKey = "Sicherung";
constexpr std::string_view kPreviewKey = "Vorschau";

constexpr std::string_view kServerKey = "Server";
constexpr std::string_view kUsernameKey = "Username";
constexpr std::string_view kPasswordKey = "Passwort";
constexpr std::string_view kFtpFolderDefault = "/";
constexpr std::string_view kPassiveKey = "Passiv";
constexpr std::string_view kTlsKey = "TLS";
constexpr std::string_view kSubfoldersKey = "Unterordner";

// Trusted server certificates: key = host as typed, value = fingerprint.
constexpr std::string_view kCertificatesSection = "FTP-Zertifikate";

// Trusted SSH host keys: key = "host:port", value = type and fingerprint.
// The file is in code page 1252, so the section's "ü" is its byte there.
constexpr std::string_view kHostKeysSection = "SSH-Schl\xFCssel";

// A switch is stored as "Ja" or "Nein"; anything else, and a missing key, is off.
constexpr std::string_view kYes = "Ja";
constexpr std::string_view kNo = "Nein";

bool readSwitch(const IniFile& ini, std::string_view section, std::string_view key) {
    return ini.readString(section, key, kNo) == kYes;
}

std::string switchValue(bool on) {
    return std::string(on ? kYes : kNo);
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

MailFields SettingsFile::mail() const {
    const IniFile ini(path_);
    return {ini.readString(kProgramSection, kMailAddressKey, ""), ini.readString(kProgramSection, kSubjectKey, "")};
}

void SettingsFile::setMail(const MailFields& fields) {
    IniFile(path_).writeStrings(
        kProgramSection, {{std::string(kMailAddressKey), fields.address}, {std::string(kSubjectKey), fields.subject}});
}

std::string SettingsFile::folder() const {
    return IniFile(path_).readString(kProgramSection, kFolderKey, kNoFolder);
}

void SettingsFile::setFolder(const std::string& folder) {
    IniFile(path_).writeString(kProgramSection, kFolderKey, folder);
}

bool SettingsFile::backup() const {
    return IniFile(path_).readString(kProgramSection, kBackupKey, kYes) != kNo;
}

void SettingsFile::setBackup(bool on) {
    IniFile(path_).writeString(kProgramSection, kBackupKey, switchValue(on));
}

bool SettingsFile::preview() const {
    return readSwitch(IniFile(path_), kProgramSection, kPreviewKey);
}

void SettingsFile::setPreview(bool on) {
    IniFile(path_).writeString(kProgramSection, kPreviewKey, switchValue(on));
}

bool SettingsFile::protectAll() const {
    return readSwitch(IniFile(path_), kProgramSection, kProtectAllKey);
}

void SettingsFile::setProtectAll(bool on) {
    IniFile(path_).writeString(kProgramSection, kProtectAllKey, switchValue(on));
}

FtpFields SettingsFile::ftp() const {
    const IniFile ini(path_);
    FtpFields fields;
    fields.host = ini.readString(kFtpSection, kServerKey, "");
    fields.user = ini.readString(kFtpSection, kUsernameKey, "");
    fields.password = ini.readString(kFtpSection, kPasswordKey, "");
    fields.folder = ini.readString(kFtpSection, kFolderKey, kFtpFolderDefault);
    fields.passive = readSwitch(ini, kFtpSection, kPassiveKey);
    fields.tls = readSwitch(ini, kFtpSection, kTlsKey);
    fields.subfolders = readSwitch(ini, kFtpSection, kSubfoldersKey);
    return fields;
}

void SettingsFile::setFtp(const FtpFields& fields) {
    // A password is for its owner's eyes only, also in a file that others
    // could read before; the rewrite keeps the mode it finds.
    if (!fields.password.empty()) ::chmod(path_.c_str(), S_IRUSR | S_IWUSR);
    IniFile(path_).writeStrings(kFtpSection, {{std::string(kServerKey), fields.host},
                                              {std::string(kUsernameKey), fields.user},
                                              {std::string(kPasswordKey), fields.password},
                                              {std::string(kFolderKey), fields.folder},
                                              {std::string(kPassiveKey), switchValue(fields.passive)},
                                              {std::string(kTlsKey), switchValue(fields.tls)},
                                              {std::string(kSubfoldersKey), switchValue(fields.subfolders)}});
}

std::string SettingsFile::certificatePin(const std::string& host) const {
    return IniFile(path_).readString(kCertificatesSection, host, "");
}

void SettingsFile::setCertificatePin(const std::string& host, const std::string& fingerprint) {
    IniFile(path_).writeString(kCertificatesSection, host, fingerprint);
}

std::string SettingsFile::hostKey(const std::string& hostPort) const {
    return IniFile(path_).readString(kHostKeysSection, hostPort, "");
}

void SettingsFile::setHostKey(const std::string& hostPort, const std::string& typeAndFingerprint) {
    IniFile(path_).writeString(kHostKeysSection, hostPort, typeAndFingerprint);
}

}  // namespace settings
}  // namespace quill
