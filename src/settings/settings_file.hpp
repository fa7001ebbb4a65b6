#pragma once

#include <string>
#include <string_view>

namespace quill {

// The settings file in the working folder.
std::string settingsFilePath();

namespace settings {

// The local folder before the first choice and after a cancelled one.
inline constexpr std::string_view kNoFolder = " ";

// What the mail page keeps; the bytes as stored (the window decides their code).
struct MailFields {
    std::string address;
    std::string subject;
};

// What the FTP page keeps, in code page 1252.
struct FtpFields {
    std::string host;
    std::string user;
    std::string password;
    std::string folder;  // shown with slashes once a remote run has read it
    bool passive = false;
    bool tls = false;         // explicit TLS on every connection
    bool subfolders = false;  // the run visits the folders below too
};

// The program's fields in a settings file, read through the file's profile
// rules. The fields of one setter reach the file in one replace, so a kill
// never pairs a new server with an old password. The key names and the
// "Ja"/"Nein" form of a switch are known here only.
class SettingsFile {
public:
    explicit SettingsFile(std::string path = settingsFilePath());

    MailFields mail() const;
    // Address and subject together: a failure leaves both as they were.
    void setMail(const MailFields& fields);

    // The folder of the last local search.
    std::string folder() const;
    void setFolder(const std::string& folder);

    // Whether every readable address is protected too.
    bool protectAll() const;
    void setProtectAll(bool on);

    // Whether a run keeps the originals first; on unless switched off.
    bool backup() const;
    void setBackup(bool on);
    // Whether a run shows its changes before it writes; off unless switched on.
    bool preview() const;
    void setPreview(bool on);

    // The folder is "/" before the first remote run.
    FtpFields ftp() const;
    void setFtp(const FtpFields& fields);

    // The server certificate the user trusts for a host: its SHA-256
    // fingerprint as stored, "" when none is.
    std::string certificatePin(const std::string& host) const;
    void setCertificatePin(const std::string& host, const std::string& fingerprint);

    // The SSH host key the user trusts for "host:port": its type and
    // fingerprint as stored ("ssh-ed25519 SHA256:…"), "" when none is.
    std::string hostKey(const std::string& hostPort) const;
    void setHostKey(const std::string& hostPort, const std::string& typeAndFingerprint);

private:
    std::string path_;
};

}  // namespace settings
}  // namespace quill
