#include "run_gate.hpp"

#include <QCoreApplication>
#include <chrono>

namespace quill::test {

namespace {
constexpr auto kLongestHold = std::chrono::seconds(20);
}

RunGate::RunGate(Picker holdHere)
    : holdHere_(std::move(holdHere)),
      hook_([this](files::FileStep step, const std::string& path) { return onStep(step, path); }) {}

RunGate::RunGate(files::FileStep step, const std::string& path)
    : RunGate([step, path](files::FileStep seen, const std::string& at) { return seen == step && at == path; }) {}

RunGate::~RunGate() {
    release();
}

int RunGate::onStep(files::FileStep step, const std::string& path) {
    std::unique_lock lock(mutex_);
    if (reached_ || !holdHere_(step, path)) return 0;
    reached_ = true;
    released_.wait_for(lock, kLongestHold, [this] { return open_; });
    return 0;
}

bool RunGate::reached() {
    const std::lock_guard lock(mutex_);
    return reached_;
}

void RunGate::release() {
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
    }
    released_.notify_all();
}

WhenHeld::WhenHeld(RunGate& gate, std::function<bool()> ready, std::function<void()> action) {
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this, &gate, ready = std::move(ready), action = std::move(action)] {
        if (!gate.reached()) return;
        // What the worker reported before it stopped is still on its way.
        QCoreApplication::sendPostedEvents();
        if (!ready()) return;
        timer_.stop();
        acted_ = true;
        action();
        gate.release();
    });
    timer_.start();
}

}  // namespace quill::test
