#pragma once

#include <unistd.h>

#include <utility>

namespace quill::files {

// Owns an open file descriptor and closes it however the scope ends. Moving
// hands the ownership on; the moved-from object owns nothing.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Hands the descriptor over, for a close whose result matters.
    int release() { return std::exchange(fd_, -1); }
    // Closes now; failures are ignored.
    void reset() {
        if (fd_ >= 0) ::close(release());
    }

private:
    int fd_ = -1;
};

}  // namespace quill::files
