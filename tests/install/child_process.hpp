#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace quill::test {

// Runs a program to its end with its output and errors in one text; the exit
// code is -1 when it could not be started or did not end normally.
struct Finished {
    int exitCode;
    std::string output;
};
Finished runToEnd(const std::vector<std::string>& arguments);

// A started program with extra environment variables, its output going to a
// file; it is killed and reaped when the object goes.
class RunningProgram {
public:
    RunningProgram(const std::vector<std::string>& arguments,
                   const std::vector<std::pair<std::string, std::string>>& environment, const std::string& logFile);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t pid() const { return pid_; }
    // Whether it has ended (reaped then).
    bool ended();

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// Whether a program of that name is on the PATH.
bool onPath(const std::string& name);

}  // namespace quill::test
