#include "cli/stop_signals.hpp"

#include <csignal>

namespace quill::cli {

namespace {

volatile std::sig_atomic_t receivedSignal = 0;
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void noteStop(int signal) {
    receivedSignal = signal;
}

}  // namespace

StopSignals::StopSignals() {
    receivedSignal = 0;
    struct sigaction stop {};
    stop.sa_handler = noteStop;
    sigemptyset(&stop.sa_mask);
    // Calls in progress go on (bounded waits end them anyway); the handler
    // gives way to the default one after its first signal.
    stop.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &stop, &previousInterrupt);
    sigaction(SIGTERM, &stop, &previousTerminate);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
}

int StopSignals::received() {
    return receivedSignal;
}

}  // namespace quill::cli
