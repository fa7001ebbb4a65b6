#include "support/server_process.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace quill::test {

namespace {

constexpr int kStopLimitMs = 5000;

pid_t spawn(const std::vector<std::string>& argv, int stdinFd, const std::string& logPath) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (stdinFd >= 0) ::dup2(stdinFd, STDIN_FILENO);
        const int log = logPath.empty() ? ::open("/dev/null", O_WRONLY)
                                        : ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) {
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        }
        // Its own group, so a stop reaches what it started.
        ::setpgid(0, 0);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

// Waits for the child, killing it once limitMs passed; its exit status or -1.
int reap(pid_t pid, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ServerProcess::~ServerProcess() {
    stop();
}

std::string ServerProcess::start(const std::vector<std::string>& argv, const std::string& logPath,
                                 const std::string& readyMark, int limitMs) {
    pid_ = spawn(argv, -1, logPath);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    std::string log;
    while (std::chrono::steady_clock::now() < deadline) {
        log = readLog(logPath);
        const auto at = log.find(readyMark);
        if (at != std::string::npos) {
            const auto lineStart = log.rfind('\n', at);
            const auto begin = lineStart == std::string::npos ? 0 : lineStart + 1;
            return log.substr(begin, log.find('\n', at) - begin);
        }
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    throw std::runtime_error(argv[0] + " did not start:\n" + readLog(logPath));
}

void ServerProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    ::kill(pid_, SIGTERM);
    reap(pid_, kStopLimitMs);
    // What the server forked for its connections goes too.
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
}

bool runCommand(const std::vector<std::string>& argv, const std::string& input, const std::string& outputPath,
                int limitMs) {
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = spawn(argv, in[0], outputPath);
    ::close(in[0]);
    std::size_t done = 0;
    while (done < input.size()) {
        const auto written = ::write(in[1], input.data() + done, input.size() - done);
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    ::close(in[1]);
    return reap(pid, limitMs) == 0;
}

unsigned freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("no free port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace quill::test
