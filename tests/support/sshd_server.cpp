#include "support/sshd_server.hpp"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>

namespace quill::test {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSshd = "/usr/sbin/sshd";
constexpr const char* kKeygen = "/usr/bin/ssh-keygen";

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// "ssh-ed25519 AAAA… comment" without the comment.
std::string withoutComment(const std::string& line) {
    const auto second = line.find(' ', line.find(' ') + 1);
    return line.substr(0, second);
}

void ownBy(const std::string& path, uid_t uid, gid_t gid) {
    if (::chown(path.c_str(), uid, gid) != 0) throw std::runtime_error("chown failed: " + path);
}

}  // namespace

bool SshdServer::canRun() {
    return ::geteuid() == 0 && ::access(kSshd, X_OK) == 0;
}

std::string makeKeyPair(const std::string& privatePath) {
    fs::create_directories(fs::path(privatePath).parent_path());
    if (!runCommand({kKeygen, "-q", "-t", "ed25519", "-N", "", "-C", "quill-test", "-f", privatePath}))
        throw std::runtime_error("ssh-keygen failed");
    return withoutComment(firstLine(readFile(privatePath + ".pub")));
}

SshdServer::SshdServer() {
    static std::atomic<unsigned> made{0};
    user_ = "qsftp" + std::to_string(::getpid()) + "x" + std::to_string(made++);
    home_ = root_.file("home");
    // The user must reach its home below the test's folder.
    ::chmod(root_.path().c_str(), 0755);
    fs::create_directories(home_ + "/.ssh");

    if (!runCommand({"/usr/sbin/useradd", "-M", "-d", home_, "-s", "/bin/sh", user_}))
        throw std::runtime_error("useradd failed");
    userMade_ = true;
    if (!runCommand({"/usr/sbin/chpasswd"}, user_ + ":" + password_ + "\n"))
        throw std::runtime_error("chpasswd failed");
    const passwd* account = ::getpwnam(user_.c_str());
    if (account == nullptr) throw std::runtime_error("no test user");
    ownBy(home_, account->pw_uid, account->pw_gid);
    ownBy(home_ + "/.ssh", account->pw_uid, account->pw_gid);

    hostKey_ = makeKeyPair(root_.file("host_ed25519"));
    port_ = freeLoopbackPort();
    // sshd insists on its privilege-separation folder.
    fs::create_directories("/run/sshd");
    root_.write("sshd_config", "Port " + std::to_string(port_) +
                                   "\n"
                                   "ListenAddress 127.0.0.1\n"
                                   "HostKey " +
                                   root_.file("host_ed25519") +
                                   "\n"
                                   "PidFile none\n"
                                   "AuthorizedKeysFile .ssh/authorized_keys\n"
                                   "PasswordAuthentication yes\n"
                                   "KbdInteractiveAuthentication no\n"
                                   "PubkeyAuthentication yes\n"
                                   "UsePAM no\n"
                                   "StrictModes no\n"
                                   "PermitRootLogin no\n"
                                   "AllowUsers " +
                                   user_ +
                                   "\n"
                                   "MaxAuthTries 30\n"
                                   "Subsystem sftp internal-sftp\n"
                                   "LogLevel VERBOSE\n");
    process_.start({kSshd, "-D", "-e", "-f", root_.file("sshd_config")}, root_.file("sshd.log"), "Server listening");
}

SshdServer::~SshdServer() {
    process_.stop();
    if (userMade_) runCommand({"/usr/sbin/userdel", "-f", user_});
}

std::string SshdServer::hostFingerprint() const {
    const std::string output = root_.file("fingerprint.txt");
    if (!runCommand({kKeygen, "-l", "-E", "sha256", "-f", root_.file("host_ed25519.pub")}, {}, output))
        throw std::runtime_error("ssh-keygen -l failed");
    // "256 SHA256:… comment (ED25519)"
    const std::string line = firstLine(readFile(output));
    const auto start = line.find("SHA256:");
    return line.substr(start, line.find(' ', start) - start);
}

std::string SshdServer::path(std::string_view name) const {
    return home_ + "/" + std::string(name);
}

std::string SshdServer::put(std::string_view name, std::string_view bytes, mode_t mode) const {
    const passwd* account = ::getpwnam(user_.c_str());
    if (account == nullptr) throw std::runtime_error("no test user");
    const fs::path file = path(name);
    for (fs::path folder = file.parent_path(); folder.string().size() > home_.size(); folder = folder.parent_path()) {
        fs::create_directories(folder);
        ownBy(folder.string(), account->pw_uid, account->pw_gid);
    }
    writeFile(file.string(), bytes);
    ownBy(file.string(), account->pw_uid, account->pw_gid);
    ::chmod(file.c_str(), mode);
    return file.string();
}

void SshdServer::authorize(const std::string& publicKey) const {
    put(".ssh/authorized_keys", publicKey + "\n", 0600);
}

}  // namespace quill::test
