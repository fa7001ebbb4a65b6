#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quill::sftp {

// Bounds the blocking calls into the SSH library: while a call is armed, a
// watcher thread shuts the socket down once the bound passes, so the call
// returns with an error instead of waiting on a server that went quiet.
class StallGuard {
public:
    explicit StallGuard(int socketFd);
    ~StallGuard();
    StallGuard(const StallGuard&) = delete;
    StallGuard& operator=(const StallGuard&) = delete;

    // One bounded call: armed for its life; the bound of an enclosing call
    // comes back when it ends.
    class Armed {
    public:
        Armed(StallGuard& guard, int limitMs);
        ~Armed();
        Armed(const Armed&) = delete;
        Armed& operator=(const Armed&) = delete;

    private:
        StallGuard& guard_;
        bool wasArmed_;
        std::chrono::steady_clock::time_point previousDeadline_;
    };

    // Whether a bound passed; the socket is shut down from then on.
    bool fired() const;

private:
    void watch();

    int fd_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::chrono::steady_clock::time_point deadline_{};
    bool armed_ = false;
    bool fired_ = false;
    bool stopping_ = false;
    std::thread watcher_;
};

}  // namespace quill::sftp
