#pragma once

namespace quill::cli {

// While alive, SIGINT and SIGTERM ask the run to stop once the file in hand
// is finished, so no page is left half done; a second signal ends the program
// at once, as without this scope. The previous handlers come back at its end.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal received since the last scope began, 0 for none.
    static int received();
};

}  // namespace quill::cli
