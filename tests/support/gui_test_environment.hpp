#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace quill::test {

// Window tests run on the offscreen platform, whatever the caller's display,
// with a runtime folder of their own: without one Qt warns on standard error,
// which would garble the test list that CTest reads.
inline void prepareGuiTestEnvironment() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        const std::string folder = "/tmp/quill-test-runtime-" + std::to_string(::getuid());
        ::mkdir(folder.c_str(), 0700);
        ::chmod(folder.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
}

}  // namespace quill::test
