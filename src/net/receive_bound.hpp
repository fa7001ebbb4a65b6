#pragma once

#include <chrono>
#include <cstddef>

namespace quill::ftp {

// How long a receive may wait on its socket, told the raw bytes that arrive
// there (encrypted or not). Bounds kept on the socket's own bytes cannot be
// stretched by a record that trickles in a byte at a time.
class ReceiveBound {
public:
    virtual ~ReceiveBound() = default;
    // The longest the next wait on the socket may last (kWaitForever: no
    // limit); raises EReadTimeout once the bound is spent.
    virtual int nextWaitMs() = 0;
    virtual void arrived(std::size_t bytes) = 0;
};

// A reply: its first byte may take the bound, and from that byte on the
// whole of it must arrive within one more.
class FirstByteThenWholeBound : public ReceiveBound {
public:
    explicit FirstByteThenWholeBound(int boundMs);
    int nextWaitMs() override;
    void arrived(std::size_t bytes) override;

private:
    int boundMs_;
    bool begun_ = false;
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace quill::ftp
