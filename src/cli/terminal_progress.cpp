#include "cli/terminal_progress.hpp"

#include <algorithm>
#include <ostream>

#include "cli/stop_signals.hpp"

namespace quill::cli {

namespace {

// Redrawing more often than this only costs time.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

bool TerminalProgress::cancelRequested() const {
    return StopSignals::received() != 0;
}

TerminalProgress::TerminalProgress(std::ostream& err, bool isTerminal, std::chrono::milliseconds delay)
    : err_(err), enabled_(isTerminal), shownFrom_(std::chrono::steady_clock::now() + delay) {}

TerminalProgress::~TerminalProgress() {
    if (width_ == 0) return;
    err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
}

void TerminalProgress::stepStarted(RunStep step, std::size_t) {
    label_ = runStepText(step);
    found_ = 0;
}

void TerminalProgress::progress(std::size_t done, std::size_t total, const std::string&) {
    show(label_ + " " + std::to_string(done) + "/" + std::to_string(total), done == total);
}

void TerminalProgress::fileFound(const std::string&) {
    show(label_ + " " + std::to_string(++found_), false);
}

void TerminalProgress::show(std::string line, bool final) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < shownFrom_ || (!final && now - lastShown_ < kRedrawInterval)) return;
    lastShown_ = now;
    // Blank out what a longer line before left behind.
    const std::size_t length = line.size();
    if (length < width_) line.append(width_ - length, ' ');
    width_ = std::max(width_, length);
    err_ << '\r' << line << std::flush;
}

}  // namespace quill::cli
