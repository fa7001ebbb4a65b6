#include "cli/terminal_password.hpp"

#include <termios.h>
#include <unistd.h>

#include <istream>
#include <ostream>

namespace quill::cli {

namespace {

// Turns the terminal's echo off for its lifetime.
class EchoOff {
public:
    EchoOff() : restore_(tcgetattr(STDIN_FILENO, &before_) == 0) {
        if (!restore_) return;
        termios quiet = before_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    ~EchoOff() {
        if (restore_) tcsetattr(STDIN_FILENO, TCSANOW, &before_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios before_{};
    bool restore_;
};

}  // namespace

std::optional<std::string> askPasswordOnTerminal(CliIo& io, const std::string& prompt) {
    if (isatty(STDIN_FILENO) != 1) return std::nullopt;
    std::string answer;
    {
        // Echo goes off before the prompt shows, so nothing typed at once appears.
        const EchoOff quiet;
        io.err << prompt << std::flush;
        std::getline(io.in, answer);
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    return answer;
}

}  // namespace quill::cli
