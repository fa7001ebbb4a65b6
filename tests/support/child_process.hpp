#pragma once

#include <functional>
#include <string>

namespace quill::test {

// Runs body in a forked child (which may end itself, e.g. with _exit, to act
// out a kill) and returns what it wrote through report, and its exit status.
struct ChildResult {
    std::string report;
    int exitStatus = -1;  // -1: ended by a signal
};
ChildResult runInChild(const std::function<void(const std::function<void(const std::string&)>& report)>& body);

// The user the permission tests act as when they run as root.
inline constexpr unsigned kNobody = 65534;

}  // namespace quill::test
