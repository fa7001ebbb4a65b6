#include "net/receive_bound.hpp"

#include "net/ftp_errors.hpp"
#include "net/tcp_socket.hpp"

namespace quill::ftp {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(int ms) {
    return Clock::now() + std::chrono::milliseconds(ms);
}

}  // namespace

FirstByteThenWholeBound::FirstByteThenWholeBound(int boundMs) : boundMs_(boundMs), deadline_(after(boundMs)) {}

int FirstByteThenWholeBound::nextWaitMs() {
    if (boundMs_ == kWaitForever) return kWaitForever;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0) throw EReadTimeout();
    return static_cast<int>(left);
}

void FirstByteThenWholeBound::arrived(std::size_t bytes) {
    if (bytes == 0 || begun_) return;
    begun_ = true;
    deadline_ = after(boundMs_);
}

}  // namespace quill::ftp
