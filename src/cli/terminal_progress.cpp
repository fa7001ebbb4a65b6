#include "cli/terminal_progress.hpp"

#include <algorithm>
#include <ostream>

namespace quill::cli {

namespace {

// Redrawing more often than this only costs time.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& err, bool isTerminal, std::chrono::milliseconds delay)
    : err_(err), enabled_(isTerminal), shownFrom_(std::chrono::steady_clock::now() + delay) {}

TerminalProgress::~TerminalProgress() {
    if (width_ == 0) return;
    err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
}

void TerminalProgress::step(std::string label) { label_ = std::move(label); }

void TerminalProgress::progress(std::size_t done, std::size_t total) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < shownFrom_ || (done != total && now - lastShown_ < kRedrawInterval)) return;
    lastShown_ = now;
    std::string line = label_ + " " + std::to_string(done) + "/" + std::to_string(total);
    // Blank out what a longer line before left behind.
    const std::size_t length = line.size();
    if (length < width_) line.append(width_ - length, ' ');
    width_ = std::max(width_, length);
    err_ << '\r' << line << std::flush;
}

}  // namespace quill::cli
