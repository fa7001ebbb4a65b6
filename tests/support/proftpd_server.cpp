#include "support/proftpd_server.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "support/free_ports.hpp"
#include "support/server_process.hpp"

namespace quill::test {

namespace {

constexpr const char* kProgram = "/opt/quillmaskerade-proftpd/usr/sbin/proftpd";
// The sessions run as nobody, which every system has.
constexpr unsigned kSessionUid = 65534;
constexpr unsigned kSessionGid = 65534;
// "geheim" as MD5 crypt, as the user file wants it.
constexpr const char* kPasswordHash = "$1$quillsal$B1xBFsNtviYsez2Tmfqms.";
constexpr int kPassivePorts = 40;
constexpr int kStartLimitMs = 15000;

}  // namespace

bool ProftpdServer::available() {
    return ::geteuid() == 0 && ::access(kProgram, X_OK) == 0;
}

ProftpdServer::ProftpdServer(Overwrite overwrite) {
    if (!available()) throw std::runtime_error("proftpd needs root and scripts/deps");
    if (::mkdir(root().c_str(), 0755) != 0 || ::chown(root().c_str(), kSessionUid, kSessionGid) != 0)
        throw std::runtime_error("proftpd: root folder");
    ::chmod(folder_.path().c_str(), 0755);
    const std::string users =
        folder_.write("passwd", user_ + ":" + kPasswordHash + ":" + std::to_string(kSessionUid) + ":" +
                                    std::to_string(kSessionGid) + "::" + root() + ":/bin/sh\n");
    ::chmod(users.c_str(), 0600);

    port_ = freeLoopbackPort();
    const int passive = freeLoopbackPortRange(kPassivePorts);
    const std::string config = folder_.write(
        "proftpd.conf", "ServerType standalone\nDefaultServer on\nPort " + std::to_string(port_) +
                            "\nDefaultAddress 127.0.0.1\nSocketBindTight on\nUseIPv6 off\n"
                            "User nobody\nGroup nogroup\nPidFile " +
                            folder_.file("proftpd.pid") + "\nScoreboardFile " + folder_.file("scoreboard") +
                            "\nDelayTable none\nWtmpLog off\nUseReverseDNS off\nTransferLog none\nSystemLog " +
                            folder_.file("system.log") + "\nAuthOrder mod_auth_file.c\nAuthUserFile " + users +
                            "\nRequireValidShell off\nDefaultRoot ~\nMaxInstances 30\nPassivePorts " +
                            std::to_string(passive) + " " + std::to_string(passive + kPassivePorts - 1) +
                            "\n<Directory />\n  AllowOverwrite " + (overwrite == Overwrite::Allowed ? "on" : "off") +
                            "\n</Directory>\n");
    process_ = DaemonProcess(kProgram, {"-n", "-q", "-c", config});
    if (!waitForGreeting(port_, kStartLimitMs)) throw std::runtime_error("proftpd did not start");
}

void ProftpdServer::handOver() const {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root(), error))
        if (::lchown(entry.path().c_str(), kSessionUid, kSessionGid) != 0)
            throw std::runtime_error("proftpd: cannot hand over " + entry.path().string());
}

}  // namespace quill::test
