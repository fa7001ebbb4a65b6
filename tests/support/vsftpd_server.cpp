#include "support/vsftpd_server.hpp"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "support/free_ports.hpp"
#include "support/server_process.hpp"

namespace quill::test {

namespace {

constexpr const char* kProgram = "/usr/sbin/vsftpd";
constexpr const char* kEmptyFolder = "/var/run/vsftpd/empty";
constexpr int kStartLimitMs = 10000;

}  // namespace

bool VsftpdServer::available() {
    return ::geteuid() == 0 && ::access(kProgram, X_OK) == 0;
}

VsftpdServer::VsftpdServer() {
    if (!available()) throw std::runtime_error("vsftpd needs root");
    std::filesystem::create_directories(kEmptyFolder);
    openUp();
    port_ = static_cast<std::uint16_t>(freeLoopbackPort());
    const std::string config = config_.write(
        "vsftpd.conf", "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port_) +
                           "\nbackground=NO\nanonymous_enable=YES\nno_anon_password=YES\nanon_root=" + root_.path() +
                           "\nlocal_enable=NO\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                           "anon_other_write_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
                           "seccomp_sandbox=NO\nsecure_chroot_dir=" +
                           kEmptyFolder +
                           "\npasv_enable=YES\npasv_address=127.0.0.1\nport_enable=YES\nconnect_from_port_20=NO\n"
                           "xferlog_enable=NO\ndirmessage_enable=NO\nuse_localtime=NO\nhide_ids=YES\n");
    process_ = DaemonProcess(kProgram, {config});
    if (!waitForGreeting(port_, kStartLimitMs)) throw std::runtime_error("vsftpd did not start");
}

void VsftpdServer::openUp() const {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto all = fs::perms::all;
    // The server refuses a root its user could write to; below it, everything is writable.
    fs::permissions(root_.path(),
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                        fs::perms::others_exec,
                    error);
    const auto noExec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    for (const auto& entry : fs::recursive_directory_iterator(root_.path(), error)) {
        if (!entry.is_symlink()) fs::permissions(entry.path(), entry.is_directory() ? all : all & ~noExec, error);
    }
}

}  // namespace quill::test
