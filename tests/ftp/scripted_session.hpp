#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ftp/ftp_client.hpp"
#include "net/ftp_errors.hpp"
#include "support/scripted_ftp_server.hpp"

namespace quill::ftp::test {

using namespace quill::test;

// A client pointed at a scripted server, with waits short enough for tests
// but long enough for a loaded machine.
class ScriptedSession : public ::testing::Test {
protected:
    ScriptedSession() {
        client.Host = "127.0.0.1";
        client.Port = server.port();
        client.Username = "anna";
        client.Password = "geheim";
        client.ConnectTimeout = 5000;
        client.ReadTimeout = 5000;
        client.TransferTimeout = 5000;
        client.AcceptTimeout = 5000;
    }

    // The command lines the server saw after the login sequence.
    std::vector<std::string> commandsAfterLogin() const {
        auto all = server.commands();
        const auto syst = std::find(all.begin(), all.end(), "SYST");
        return syst == all.end() ? all : std::vector<std::string>(syst + 1, all.end());
    }

    ScriptedFtpServer server;
    TFTPClient client;
};

// Runs the call and expects an error of type E with exactly this message.
template <typename E>
void expectError(const std::function<void()>& call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(std::string(e.what()), message);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "other error: " << e.what() << ", expected: " << message;
    }
}

}  // namespace quill::ftp::test
