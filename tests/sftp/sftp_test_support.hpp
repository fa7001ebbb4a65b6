#pragma once

#include <string>
#include <vector>

#include "sftp/sftp_client.hpp"
#include "support/environment_scope.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {

// A client aimed at a loopback server, with a home folder of the test's own
// (known_hosts, keys) and no agent, and every host key question recorded.
class SftpClientFixture {
public:
    explicit SftpClientFixture(unsigned port, bool trust = true) {
        client.Host = "127.0.0.1";
        client.Port = static_cast<std::uint16_t>(port);
        client.Username = "quill";
        client.ConnectTimeout = 10000;
        client.ReadTimeout = 10000;
        client.TrustHostKey = [this, trust](const std::string& hostPort, const sftp::HostKey& key) {
            asked.push_back(hostPort + " " + key.text());
            return trust;
        };
    }

    TempFolder home;
    EnvironmentScope environment{{"HOME", home.path()}, {"SSH_AUTH_SOCK", std::nullopt}};
    sftp::SftpClient client;
    std::vector<std::string> asked;
};

}  // namespace quill::test
