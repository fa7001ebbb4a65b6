#pragma once

#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "files/fault_injection.hpp"
#include "support/hook_scopes.hpp"

namespace quill::test {

// Holds a run's worker at the first file step that holdHere picks (it sees
// every step in turn, on the worker) until released, so a test can act while
// the run is under way. The hold is bounded: a window that never gets to act
// lets the run go on after a while, and the test fails on the missed action.
class RunGate {
public:
    using Picker = std::function<bool(files::FileStep step, const std::string& path)>;
    explicit RunGate(Picker holdHere);
    // The first time the step reaches the path.
    RunGate(files::FileStep step, const std::string& path);
    ~RunGate();
    RunGate(const RunGate&) = delete;
    RunGate& operator=(const RunGate&) = delete;

    bool reached();
    void release();

private:
    int onStep(files::FileStep step, const std::string& path);

    Picker holdHere_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool reached_ = false;
    bool open_ = false;
    FileFaultScope hook_;  // last, so it goes first
};

// On the window thread, once the gate holds the worker and ready() is true:
// runs action, then releases the gate. Polls through a timer, so it runs only
// if the window's event loop turns during the run.
class WhenHeld {
public:
    WhenHeld(RunGate& gate, std::function<bool()> ready, std::function<void()> action);
    bool acted() const { return acted_; }

private:
    QTimer timer_;
    bool acted_ = false;
};

}  // namespace quill::test
