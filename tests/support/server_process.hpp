#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quill::test {

// A server a test starts: its output goes to a log file, start-up waits a
// bounded time for a line that says it is ready, and the server stops with
// the object.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts argv[0] (a full path) and returns the first log line holding
    // readyMark; throws with the log when none came within limitMs.
    std::string start(const std::vector<std::string>& argv, const std::string& logPath, const std::string& readyMark,
                      int limitMs = 15000);
    void stop();

private:
    pid_t pid_ = -1;
};

// Runs a command to its end, stdin from input, its output into outputPath
// when one is given, killed after limitMs; true when it exited with 0.
bool runCommand(const std::vector<std::string>& argv, const std::string& input = {}, const std::string& outputPath = {},
                int limitMs = 30000);

// A TCP port on 127.0.0.1 that nothing listens on at the moment.
unsigned freeLoopbackPort();

}  // namespace quill::test
