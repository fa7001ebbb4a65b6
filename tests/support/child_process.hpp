#pragma once

#include <functional>
#include <string>

#include "support/temp_folder.hpp"

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

// In a child: gives up root for the user nobody; false when that fails.
// stateHome, when given, becomes nobody's XDG_STATE_HOME (a folder nobody
// owns: the program refuses a state folder of someone else's).
bool becomeNobody(const std::string& stateHome = {});

// A fresh temporary folder that nobody owns, for nobody's state.
class NobodysFolder {
public:
    NobodysFolder();
    const std::string& path() const { return folder_.path(); }

private:
    TempFolder folder_;
};

// Runs body as nobody in a child and returns its exit status (0: done).
int runAsNobody(const std::function<void()>& body);

}  // namespace quill::test
