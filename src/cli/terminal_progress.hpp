#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

#include "runs/run_progress.hpp"

namespace quill::cli {

// "Dateien werden kodiert… 120/3000" on one line of a terminal, rewritten in
// place, shown only once a run has lasted `delay` and only for a terminal, so
// a script's logs stay clean. The line is cleared when the object goes.
class TerminalProgress : public RunObserver {
public:
    TerminalProgress(std::ostream& err, bool isTerminal,
                     std::chrono::milliseconds delay = std::chrono::milliseconds(500));
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void stepStarted(RunStep step, std::size_t total) override;
    void progress(std::size_t done, std::size_t total, const std::string& current) override;
    // The search has no total: the files found so far are counted instead.
    void fileFound(const std::string& path) override;
    // A stop signal (see StopSignals) ends the run after the file in hand.
    bool cancelRequested() const override;

private:
    void show(std::string line, bool final);

    std::ostream& err_;
    bool enabled_;
    std::chrono::steady_clock::time_point shownFrom_;
    std::chrono::steady_clock::time_point lastShown_;
    std::string label_;
    std::size_t found_ = 0;
    std::size_t width_ = 0;
};

}  // namespace quill::cli
