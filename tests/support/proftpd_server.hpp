#pragma once

#include <cstdint>
#include <string>

#include "support/daemon_process.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {

// proftpd (unpacked by scripts/deps, as its package conflicts with vsftpd's)
// on 127.0.0.1 and a free port, plain FTP. With overwriting refused, a file
// that exists cannot be stored or renamed onto, only deleted. One user,
// "quill" with password "geheim", rooted in a fresh folder. Needs root;
// available() says whether this process can start it.
class ProftpdServer {
public:
    enum class Overwrite { Refused, Allowed };

    static bool available();

    explicit ProftpdServer(Overwrite overwrite = Overwrite::Refused);

    // Files written into the root by the test become the session user's.
    void handOver() const;

    std::uint16_t port() const { return port_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // The folder the user sees as "/", on disk.
    std::string root() const { return folder_.file("root"); }

private:
    TempFolder folder_;
    std::string user_ = "quill";
    std::string password_ = "geheim";
    std::uint16_t port_ = 0;
    DaemonProcess process_;
};

}  // namespace quill::test
