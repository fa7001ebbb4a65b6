#pragma once

#include <cstdint>

namespace quill::test {

// The first of count consecutive loopback ports that are all free right
// now, for a server's passive range.
std::uint16_t freeLoopbackPortRange(int count);

// Waits (bounded) until a server on 127.0.0.1:port sends its first line;
// true when it did.
bool waitForGreeting(std::uint16_t port, int timeoutMs);

}  // namespace quill::test
