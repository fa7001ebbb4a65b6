#include "support/vsftps_server.hpp"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "support/free_ports.hpp"
#include "support/server_process.hpp"

namespace quill::test {

namespace {

constexpr const char* kProgram = "/usr/sbin/vsftpd";
// The unprivileged user anonymous sessions run as; the package makes it.
constexpr const char* kAnonymousAccount = "ftp";
constexpr int kPassivePorts = 40;
constexpr int kStartLimitMs = 15000;

}  // namespace

bool VsftpsServer::available() {
    return ::geteuid() == 0 && ::access(kProgram, X_OK) == 0 && ::getpwnam(kAnonymousAccount) != nullptr;
}

VsftpsServer::VsftpsServer() {
    if (!available()) throw std::runtime_error("vsftpd needs root, the program and the account ftp");
    const passwd* account = ::getpwnam(kAnonymousAccount);
    const std::string root = folder_.file("root");
    const std::string empty = folder_.file("empty");
    if (::mkdir(root.c_str(), 0755) != 0 || ::mkdir(empty.c_str(), 0755) != 0 ||
        ::mkdir(this->root().c_str(), 0755) != 0 ||
        ::chown(this->root().c_str(), account->pw_uid, account->pw_gid) != 0)
        throw std::runtime_error("vsftpd: folders");
    // The sessions run as the account and must reach their root.
    ::chmod(folder_.path().c_str(), 0755);
    const std::string pem = folder_.file("server.pem");
    certificate_.writePemFile(pem);

    port_ = static_cast<std::uint16_t>(freeLoopbackPort());
    const int passive = freeLoopbackPortRange(kPassivePorts);
    const std::string config = folder_.write(
        "vsftpd.conf",
        "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port_) +
            "\nbackground=NO\n"
            "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\nftp_username=" +
            kAnonymousAccount + "\nanon_root=" + root +
            "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
            "anon_world_readable_only=NO\nanon_umask=022\n"
            "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\n"
            "require_ssl_reuse=YES\nssl_sslv2=NO\nssl_sslv3=NO\nrsa_cert_file=" +
            pem + "\nrsa_private_key_file=" + pem + "\npasv_enable=YES\npasv_address=127.0.0.1\npasv_min_port=" +
            std::to_string(passive) + "\npasv_max_port=" + std::to_string(passive + kPassivePorts - 1) +
            "\nport_enable=YES\nconnect_from_port_20=NO\n"
            "secure_chroot_dir=" +
            empty +
            "\nseccomp_sandbox=NO\nxferlog_enable=NO\nsyslog_enable=NO\nuse_localtime=NO\n"
            "max_clients=50\nmax_per_ip=50\ndirmessage_enable=NO\n");
    process_ = DaemonProcess(kProgram, {config});
    if (!waitForGreeting(port_, kStartLimitMs)) throw std::runtime_error("vsftpd did not start");
}

}  // namespace quill::test
