#include "child_process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace quill::test {

namespace {

std::vector<char*> argumentVector(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Owns the spawn file actions for one start.
class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

}  // namespace

Finished runToEnd(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return {-1, "pipe failed"};
    FileActions actions;
    posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDERR_FILENO);
    std::vector<std::string> texts = arguments;
    const std::vector<char*> argv = argumentVector(texts);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
    close(pipeEnds[1]);
    Finished result{-1, {}};
    if (spawned != 0) {
        close(pipeEnds[0]);
        result.output = "cannot start " + arguments.front();
        return result;
    }
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0) result.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

RunningProgram::RunningProgram(const std::vector<std::string>& arguments,
                               const std::vector<std::pair<std::string, std::string>>& environment,
                               const std::string& logFile) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) variables.emplace_back(*entry);
    for (const auto& [name, value] : environment) {
        std::erase_if(variables, [&name](const std::string& v) { return v.rfind(name + "=", 0) == 0; });
        variables.push_back(name + "=" + value);
    }
    FileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(actions.get(), STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> texts = arguments;
    const std::vector<char*> argv = argumentVector(texts);
    const std::vector<char*> envp = argumentVector(variables);
    if (posix_spawn(&pid_, argv[0], actions.get(), nullptr, argv.data(), envp.data()) != 0)
        throw std::runtime_error("cannot start " + arguments.front());
}

RunningProgram::~RunningProgram() {
    if (reaped_) return;
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool RunningProgram::ended() {
    if (reaped_) return true;
    int status = 0;
    reaped_ = waitpid(pid_, &status, WNOHANG) == pid_;
    return reaped_;
}

bool onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view rest(path);
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / name;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace quill::test
