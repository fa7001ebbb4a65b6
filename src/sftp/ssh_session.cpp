#include "sftp/ssh_session.hpp"

#include <utility>

#include "net/tcp_socket.hpp"
#include "sftp/key_description.hpp"
#include "sftp/sftp_errors.hpp"

namespace quill::sftp {

namespace {

// Bounds the last words to a server that may have gone quiet.
constexpr int kCloseLimitMs = 5000;
// Rounds of keyboard-interactive prompts answered before giving up.
constexpr int kInteractiveRounds = 4;

// An encrypted key file is passed over rather than asked about: nobody types
// into a terminal here.
int noPassphrase(const char*, char*, std::size_t, int, int, void*) {
    return -1;
}

struct KeyOwner {
    ssh_key key = nullptr;
    ~KeyOwner() { ssh_key_free(key); }
};

}  // namespace

SshSession::SshSession(const SshTarget& target) : hostPort_(hostPortKey(target.host, target.port)) {
    try {
        openSocket(target);
        checkHostKey(target);
        logIn(target);
        startSftp(target);
    } catch (...) {
        close();
        throw;
    }
}

SshSession::~SshSession() {
    close();
}

void SshSession::close() {
    if (guard_) {
        auto armed = bound(kCloseLimitMs);
        if (sftp_ != nullptr) sftp_free(std::exchange(sftp_, nullptr));
        ssh_disconnect(ssh_);
    }
    guard_.reset();
    if (ssh_ != nullptr) ssh_free(std::exchange(ssh_, nullptr));
    socket_.reset();
}

bool SshSession::alive() const {
    return !guard_->fired() && ssh_is_connected(ssh_) != 0;
}

void SshSession::openSocket(const SshTarget& target) {
    ftp::TcpSocket socket = ftp::TcpSocket::create();
    socket.connect(ftp::resolveHost(target.host), static_cast<std::uint16_t>(target.port), target.connectTimeoutMs);

    ssh_ = ssh_new();
    if (ssh_ == nullptr) throw ESftpError("Die SSH-Sitzung konnte nicht angelegt werden.");
    // The library speaks over the socket but leaves closing it to us.
    socket_ = files::Descriptor(socket.release());
    socket_t fd = socket_.get();
    ssh_options_set(ssh_, SSH_OPTIONS_FD, &fd);
    guard_ = std::make_unique<StallGuard>(fd);

    const bool noConfig = false;
    const unsigned port = target.port;
    const long seconds = (target.connectTimeoutMs + 999) / 1000;
    ssh_options_set(ssh_, SSH_OPTIONS_PROCESS_CONFIG, &noConfig);
    ssh_options_set(ssh_, SSH_OPTIONS_HOST, target.host.c_str());
    ssh_options_set(ssh_, SSH_OPTIONS_PORT, &port);
    ssh_options_set(ssh_, SSH_OPTIONS_USER, target.user.c_str());
    ssh_options_set(ssh_, SSH_OPTIONS_TIMEOUT, &seconds);
    if (!target.sshFolder.empty()) ssh_options_set(ssh_, SSH_OPTIONS_SSH_DIR, target.sshFolder.c_str());
    ssh_callbacks_init(&callbacks_);
    callbacks_.auth_function = noPassphrase;
    ssh_set_callbacks(ssh_, &callbacks_);

    auto armed = bound(target.connectTimeoutMs);
    if (ssh_connect(ssh_) != SSH_OK) failConnection("Verbindung");
}

void SshSession::checkHostKey(const SshTarget& target) {
    KeyOwner offered;
    if (ssh_get_server_publickey(ssh_, &offered.key) != SSH_OK) failConnection("Serverschlüssel");
    serverKey_ = describeKey(offered.key);

    switch (ssh_session_is_known_server(ssh_)) {
        case SSH_KNOWN_HOSTS_OK:
            return;
        case SSH_KNOWN_HOSTS_CHANGED:
        case SSH_KNOWN_HOSTS_OTHER: {
            std::optional<HostKey> before = knownHostKey(target.sshFolder + "/known_hosts", target.host, target.port);
            if (!before) before = knownHostKey("/etc/ssh/ssh_known_hosts", target.host, target.port);
            throw EHostKeyRefused(changedHostKeyMessage(hostPort_, before.value_or(HostKey{"?", "?"}), serverKey_));
        }
        case SSH_KNOWN_HOSTS_ERROR:
            throw EHostKeyRefused("Die Datei known_hosts konnte nicht gelesen werden: " +
                                  std::string(ssh_get_error(ssh_)));
        default:
            break;
    }
    if (!target.trust || !target.trust(hostPort_, serverKey_))
        throw EHostKeyRefused("Dem Serverschlüssel von \"" + hostPort_ + "\" (" + serverKey_.text() +
                              ") wird nicht vertraut; die Verbindung wurde abgebrochen.");
}

void SshSession::logIn(const SshTarget& target) {
    auto armed = bound(target.connectTimeoutMs);
    int result = ssh_userauth_none(ssh_, nullptr);
    if (result == SSH_AUTH_SUCCESS) return;
    if (result == SSH_AUTH_ERROR) failConnection("Anmeldung");

    result = ssh_userauth_publickey_auto(ssh_, nullptr, nullptr);
    if (result == SSH_AUTH_SUCCESS) {
        login_ = LoginMethod::PublicKey;
        return;
    }
    if (result == SSH_AUTH_ERROR) failConnection("Anmeldung");

    if (!target.password.empty()) {
        const int methods = ssh_userauth_list(ssh_, nullptr);
        if ((methods & SSH_AUTH_METHOD_PASSWORD) != 0) {
            result = ssh_userauth_password(ssh_, nullptr, target.password.c_str());
            if (result == SSH_AUTH_SUCCESS) {
                login_ = LoginMethod::Password;
                return;
            }
            if (result == SSH_AUTH_ERROR) failConnection("Anmeldung");
        }
        if ((methods & SSH_AUTH_METHOD_INTERACTIVE) != 0) {
            // Hosts that take passwords only this way ask for them as prompts.
            result = ssh_userauth_kbdint(ssh_, nullptr, nullptr);
            for (int round = 0; result == SSH_AUTH_INFO && round < kInteractiveRounds; ++round) {
                const int prompts = ssh_userauth_kbdint_getnprompts(ssh_);
                for (int i = 0; i < prompts; ++i) {
                    char echo = 0;
                    ssh_userauth_kbdint_getprompt(ssh_, static_cast<unsigned>(i), &echo);
                    ssh_userauth_kbdint_setanswer(ssh_, static_cast<unsigned>(i),
                                                  echo != 0 ? "" : target.password.c_str());
                }
                result = ssh_userauth_kbdint(ssh_, nullptr, nullptr);
            }
            if (result == SSH_AUTH_SUCCESS) {
                login_ = LoginMethod::KeyboardInteractive;
                return;
            }
            if (result == SSH_AUTH_ERROR) failConnection("Anmeldung");
        }
    }
    if (guard_->fired()) throw ESftpTimeout();
    throw ESftpError("Die Anmeldung an \"" + hostPort_ + "\" als \"" + target.user +
                     "\" wurde abgelehnt: weder ein Schlüssel noch das Passwort wurden angenommen.");
}

void SshSession::startSftp(const SshTarget& target) {
    auto armed = bound(target.connectTimeoutMs);
    sftp_ = sftp_new(ssh_);
    if (sftp_ == nullptr) {
        if (guard_->fired()) throw ESftpTimeout();
        throw ESftpError("Der Server \"" + hostPort_ + "\" bietet kein SFTP an: " + ssh_get_error(ssh_));
    }
    if (sftp_init(sftp_) != SSH_OK) failConnection("SFTP-Start");
}

void SshSession::failConnection(const std::string& step) const {
    if (guard_ && guard_->fired()) throw ESftpTimeout();
    throw ESftpError("SSH-Verbindung zu \"" + hostPort_ + "\" fehlgeschlagen (" + step + "): " + ssh_get_error(ssh_));
}

void SshSession::fail(const std::string& action, const std::string& name) const {
    if (guard_->fired()) throw ESftpTimeout();
    if (ssh_get_error_code(ssh_) == SSH_FATAL || ssh_is_connected(ssh_) == 0)
        throw ESftpError("Die Verbindung zum SFTP-Server ist abgebrochen: " + std::string(ssh_get_error(ssh_)));
    const int status = sftp_get_error(sftp_);
    throw ESftpStatus(status, action + " \"" + name + "\" fehlgeschlagen: " + sftpStatusText(status));
}

}  // namespace quill::sftp
