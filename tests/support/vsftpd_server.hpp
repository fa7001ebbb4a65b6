#pragma once

#include <cstdint>
#include <string>

#include "support/daemon_process.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {

// A real vsftpd on 127.0.0.1 with a free port and its own configuration:
// anonymous login (any password) with the right to upload, rename and delete
// on a fresh temporary root, passive and active mode. It must be started as
// root; available() says whether it can be. Start-up waits a bounded time for
// the greeting; the server stops with the object.
class VsftpdServer {
public:
    static bool available();

    VsftpdServer();

    std::uint16_t port() const { return port_; }
    static constexpr const char* kUser = "anonymous";
    static constexpr const char* kPassword = "gast";
    // The folder the user sees as "/"; the user may write only in folders
    // below it. Files put there must be readable and writable by the
    // server's unprivileged user: call openUp() after writing them.
    const TempFolder& root() const { return root_; }
    void openUp() const;

private:
    TempFolder config_;
    TempFolder root_;
    std::uint16_t port_ = 0;
    DaemonProcess process_;
};

}  // namespace quill::test
