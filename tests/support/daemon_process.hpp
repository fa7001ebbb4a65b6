#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quill::test {

// A server program run in the foreground as a child of the test, its output
// dropped; stopped with the object (SIGTERM, then SIGKILL after a bounded wait).
class DaemonProcess {
public:
    DaemonProcess() = default;
    DaemonProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment = {});
    ~DaemonProcess();
    DaemonProcess(DaemonProcess&& other) noexcept;
    DaemonProcess& operator=(DaemonProcess&& other) noexcept;
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;

    // False once the program has ended on its own.
    bool running();
    void stop();

private:
    pid_t pid_ = -1;
};

}  // namespace quill::test
