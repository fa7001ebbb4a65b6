#pragma once

#include <cstdint>
#include <string>

#include "support/daemon_process.hpp"
#include "support/temp_folder.hpp"
#include "support/test_certificate.hpp"

namespace quill::test {

// vsftpd for FTPS on 127.0.0.1 and a free port with its own configuration: explicit
// TLS required for the login and every data connection, data sessions must
// resume the control session (require_ssl_reuse), passive ports in a free
// range, active mode allowed. The one user is "anonymous" (no password
// asked); its root may not be writable, so it stores, renames and deletes
// in the folder "/web" below it.
// Needs root; available() says whether this process can start it.
class VsftpsServer {
public:
    static bool available();

    VsftpsServer();

    std::uint16_t port() const { return port_; }
    const std::string& user() const { return user_; }
    // The server's folder "/web", where the user may write, on disk.
    std::string root() const { return folder_.file("root/web"); }
    static constexpr const char* kWritableFolder = "/web";
    const TestCertificate& certificate() const { return certificate_; }

private:
    TempFolder folder_;
    TestCertificate certificate_;
    std::string user_ = "anonymous";
    std::uint16_t port_ = 0;
    DaemonProcess process_;
};

}  // namespace quill::test
