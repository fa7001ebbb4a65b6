#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>

#include "cli_test_support.hpp"
#include "support/hook_scopes.hpp"
#include "support/scripted_ftp_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

struct StopCase {
    int signal;
    int code;
};

class CliStop : public quill::test::InTempWorkingFolder, public ::testing::WithParamInterface<StopCase> {};

// The signal arrives while the first page is being rewritten: that page is
// finished, the others stay as they were, and the user learns which.
TEST_P(CliStop, FinishesTheFileInHandAndSaysWhatWasDone) {
    for (const char* name : {"a.html", "b.html", "c.html"})
        work().write(std::string("site/") + name, "<a href=\"mailto:a@b.de\">Mail</a>\r\n");
    bool sent = false;
    const quill::test::FileFaultScope signalOnFirstWrite([&](files::FileStep step, const std::string&) {
        if (step == files::FileStep::CreateTemp && !sent) {
            sent = true;
            std::raise(GetParam().signal);
        }
        return 0;
    });
    const Outcome outcome = runInProcess({"run", "site"});
    EXPECT_TRUE(sent);
    EXPECT_EQ(outcome.code, GetParam().code) << outcome.err;
    int changed = 0;
    for (const char* name : {"a.html", "b.html", "c.html"})
        changed += work().read(std::string("site/") + name).find("mailto") == std::string::npos ? 1 : 0;
    EXPECT_EQ(changed, 1);
    EXPECT_NE(outcome.err.find("1 von 3 Dateien wurde kodiert."), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\r'), std::string::npos);
    // The scope is over: the program's default handling is back.
    struct sigaction now {};
    sigaction(GetParam().signal, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStop, ::testing::Values(StopCase{SIGINT, 130}, StopCase{SIGTERM, 143}));

// Reads what the terminal shows until the text appears or the child ends (bounded).
std::string readUntil(int terminal, const std::string& wanted, std::string shown) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (shown.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 200) <= 0) continue;
        char buffer[512];
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0) break;
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    return shown;
}

// Without a password source, a person at a terminal is asked; what they type
// does not show, and it is the password the server gets.
TEST(CliRemotePassword, IsAskedOnTheTerminalWithoutEcho) {
    quill::test::ScriptedFtpServer server;
    const std::string program = cliProgram();
    const std::string port = std::to_string(server.port());
    const quill::test::TempFolder work;
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::chdir(work.path().c_str()) != 0) ::_exit(126);
        ::execl(program.c_str(), program.c_str(), "remote", "--host", "127.0.0.1", "--port", port.c_str(), "--user",
                "anna", "--folder", "/", nullptr);
        ::_exit(127);
    }
    std::string shown = readUntil(terminal, "Passwort für anna@127.0.0.1: ", "");
    ASSERT_NE(shown.find("Passwort für anna@127.0.0.1: "), std::string::npos) << shown;
    const std::string typed = "Ge heim!\n";
    ASSERT_EQ(::write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    shown = readUntil(terminal, "\n<never>", shown);
    ::close(terminal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(shown.find("Ge heim"), std::string::npos) << shown;
    const auto commands = server.commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "PASS Ge heim!"), commands.end()) << shown;
}

}  // namespace
}  // namespace quill::cli::test
