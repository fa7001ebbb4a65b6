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
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (restore_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &before_);
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
    io.err << prompt << std::flush;
    std::string answer;
    {
        const EchoOff quiet;
        std::getline(io.in, answer);
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    return answer;
}

}  // namespace quill::cli
