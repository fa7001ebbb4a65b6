#include "sftp/stall_guard.hpp"

#include <sys/socket.h>

namespace quill::sftp {

StallGuard::StallGuard(int socketFd) : fd_(socketFd), watcher_([this] { watch(); }) {}

StallGuard::~StallGuard() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

bool StallGuard::fired() const {
    std::lock_guard lock(mutex_);
    return fired_;
}

void StallGuard::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // After firing the session is dead: nothing more to watch.
        if (!armed_ || fired_) {
            changed_.wait(lock);
            continue;
        }
        const auto deadline = deadline_;
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && armed_ && deadline_ == deadline) {
            fired_ = true;
            // Wakes the library's poll; the descriptor stays open until the session is freed.
            ::shutdown(fd_, SHUT_RDWR);
        }
    }
}

StallGuard::Armed::Armed(StallGuard& guard, int limitMs) : guard_(guard) {
    {
        std::lock_guard lock(guard_.mutex_);
        wasArmed_ = guard_.armed_;
        previousDeadline_ = guard_.deadline_;
        guard_.armed_ = true;
        guard_.deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    }
    guard_.changed_.notify_all();
}

StallGuard::Armed::~Armed() {
    {
        std::lock_guard lock(guard_.mutex_);
        guard_.armed_ = wasArmed_;
        guard_.deadline_ = previousDeadline_;
    }
    guard_.changed_.notify_all();
}

}  // namespace quill::sftp
