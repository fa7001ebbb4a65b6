#include "net/transfer_pace.hpp"

#include <algorithm>

#include "net/ftp_errors.hpp"
#include "net/tcp_socket.hpp"

namespace quill::ftp {

TransferPace::TransferPace(int boundMs, std::size_t minBytes) : boundMs_(boundMs), minBytes_(minBytes) {}

void TransferPace::start() {
    if (started_) return;
    started_ = true;
    windowEnd_ = Clock::now() + std::chrono::milliseconds(boundMs_);
}

int TransferPace::waitLimitMs() const {
    if (boundMs_ == kWaitForever) return kWaitForever;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(windowEnd_ - Clock::now()).count();
    // kWaitForever is 0, so a window that is just over still waits a moment.
    return static_cast<int>(std::max<long long>(left, 1));
}

int TransferPace::nextWaitMs() {
    start();
    if (stalled()) throw EReadTimeout();
    return waitLimitMs();
}

bool TransferPace::stalled() {
    if (boundMs_ == kWaitForever) return false;
    const auto now = Clock::now();
    if (now < windowEnd_) return false;
    if (bytes_ < minBytes_) return true;
    bytes_ = 0;
    windowEnd_ = now + std::chrono::milliseconds(boundMs_);
    return false;
}

}  // namespace quill::ftp
