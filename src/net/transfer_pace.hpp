#pragma once

#include <chrono>
#include <cstddef>

#include "net/receive_bound.hpp"

namespace quill::ftp {

// The least a data connection must move in each bound-long window, so that a
// trickle of bytes cannot hold a transfer open without end.
inline constexpr std::size_t kMinBytesPerWindow = 1024;

// Watches one transfer's progress in consecutive windows as long as its bound.
// A bound of kWaitForever sets no limit. As a receive bound it counts the
// bytes arriving at the socket.
class TransferPace : public ReceiveBound {
public:
    explicit TransferPace(int boundMs, std::size_t minBytes = kMinBytesPerWindow);

    // The first window begins when data begins to move; later calls do nothing.
    void start();
    // How long the next wait may last: what is left of the current window.
    int waitLimitMs() const;
    void moved(std::size_t bytes) { bytes_ += bytes; }
    // True when a window has passed with fewer than the minimum moved; a
    // window that passed with enough starts the next one.
    bool stalled();

    int nextWaitMs() override;
    void arrived(std::size_t bytes) override { moved(bytes); }

private:
    using Clock = std::chrono::steady_clock;
    int boundMs_;
    std::size_t minBytes_;
    std::size_t bytes_ = 0;
    bool started_ = false;
    Clock::time_point windowEnd_;
};

}  // namespace quill::ftp
