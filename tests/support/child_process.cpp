#include "support/child_process.hpp"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace quill::test {

ChildResult runInChild(const std::function<void(const std::function<void(const std::string&)>& report)>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(pipeEnds[0]);
        const int out = pipeEnds[1];
        body([out](const std::string& text) {
            std::size_t done = 0;
            while (done < text.size()) {
                const auto written = ::write(out, text.data() + done, text.size() - done);
                if (written <= 0) break;
                done += static_cast<std::size_t>(written);
            }
        });
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    ChildResult result;
    char buffer[4096];
    for (;;) {
        const auto got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        result.report.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool becomeNobody(const std::string& stateHome) {
    if (!stateHome.empty()) ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

NobodysFolder::NobodysFolder() {
    ::chmod(folder_.path().c_str(), 0700);
    if (::chown(folder_.path().c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "cannot give a folder to nobody";
}

int runAsNobody(const std::function<void()>& body) {
    return runInChild([&](const auto&) {
               if (!becomeNobody()) ::_exit(2);
               body();
           })
        .exitStatus;
}

}  // namespace quill::test
