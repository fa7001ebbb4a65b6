#include "support/vsftpd_server.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "support/server_process.hpp"

namespace quill::test {

namespace {

constexpr const char* kProgram = "/usr/sbin/vsftpd";
constexpr const char* kEmptyFolder = "/var/run/vsftpd/empty";
constexpr int kStartLimitMs = 10000;
constexpr int kStopLimitMs = 5000;

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// True once the server greets on the port.
bool greets(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const sockaddr_in address = loopback(port);
    bool ready = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        timeval wait{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char buffer[4] = {};
        ready = ::recv(fd, buffer, 3, MSG_WAITALL) == 3 && std::string(buffer, 3) == "220";
    }
    ::close(fd);
    return ready;
}

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
        "vsftpd.conf",
        "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port_) +
            "\nbackground=NO\nanonymous_enable=YES\nno_anon_password=YES\nanon_root=" + root_.path() +
            "\nlocal_enable=NO\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
            "anon_other_write_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
            "seccomp_sandbox=NO\nsecure_chroot_dir=" + kEmptyFolder +
            "\npasv_enable=YES\npasv_address=127.0.0.1\nport_enable=YES\nconnect_from_port_20=NO\n"
            "xferlog_enable=NO\ndirmessage_enable=NO\nuse_localtime=NO\nhide_ids=YES\n");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("vsftpd: fork failed");
    if (pid_ == 0) {
        // Its own group, so the sessions it forks stop with it.
        ::setpgid(0, 0);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        ::execl(kProgram, "vsftpd", config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    while (!greets(port_)) {
        if (std::chrono::steady_clock::now() > deadline || ::waitpid(pid_, nullptr, WNOHANG) != 0) {
            stop();
            throw std::runtime_error("vsftpd did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

VsftpdServer::~VsftpdServer() { stop(); }

void VsftpdServer::openUp() const {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto all = fs::perms::all;
    // The server refuses a root its user could write to; below it, everything is writable.
    fs::permissions(root_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec,
                    error);
    const auto noExec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    for (const auto& entry : fs::recursive_directory_iterator(root_.path(), error)) {
        if (!entry.is_symlink()) fs::permissions(entry.path(), entry.is_directory() ? all : all & ~noExec, error);
    }
}

void VsftpdServer::stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopLimitMs);
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

}  // namespace quill::test
