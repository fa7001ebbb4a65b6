#include "remote/host_key_pins.hpp"

#include "settings/settings_file.hpp"
#include "sftp/sftp_errors.hpp"

namespace quill::ftp {

namespace {

// "ssh-ed25519 SHA256:…"; a value without a blank is a fingerprint alone.
sftp::HostKey storedKey(const std::string& value) {
    const auto blank = value.find(' ');
    if (blank == std::string::npos) return {"?", value};
    return {value.substr(0, blank), value.substr(value.find_first_not_of(' ', blank))};
}

}  // namespace

sftp::HostKeyTrust pinnedHostKeyTrust(std::function<bool(const std::string& question)> ask) {
    return [ask = std::move(ask)](const std::string& hostPort, const sftp::HostKey& offered) {
        settings::SettingsFile file;
        if (const std::string stored = file.hostKey(hostPort); !stored.empty()) {
            const sftp::HostKey known = storedKey(stored);
            // A fingerprint covers the key's type too.
            if (known.fingerprint == offered.fingerprint) return true;
            throw sftp::EHostKeyRefused(sftp::changedHostKeyMessage(hostPort, known, offered));
        }
        if (!ask || !ask(sftp::unknownHostKeyQuestion(hostPort, offered))) return false;
        file.setHostKey(hostPort, offered.text());
        return true;
    };
}

}  // namespace quill::ftp
