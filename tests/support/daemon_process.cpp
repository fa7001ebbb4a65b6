#include "support/daemon_process.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>
#include <utility>

namespace quill::test {

namespace {

constexpr int kStopLimitMs = 5000;

std::vector<char*> pointers(const std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (const auto& text : texts) result.push_back(const_cast<char*>(text.c_str()));
    result.push_back(nullptr);
    return result;
}

}  // namespace

DaemonProcess::DaemonProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto args = pointers(argv);
    auto env = pointers(environment);
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        // Its own process group, so a stop reaches the children it forks.
        ::setpgid(0, 0);
        ::execve(program.c_str(), args.data(), env.data());
        ::_exit(127);
    }
}

DaemonProcess::~DaemonProcess() {
    stop();
}

DaemonProcess::DaemonProcess(DaemonProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

DaemonProcess& DaemonProcess::operator=(DaemonProcess&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

bool DaemonProcess::running() {
    return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0;
}

void DaemonProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopLimitMs);
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The session processes of a server that forks per connection.
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
}

}  // namespace quill::test
