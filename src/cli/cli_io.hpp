#pragma once

#include <iosfwd>

namespace quill::cli {

enum ExitCode : int {
    kExitDone = 0,    // done, or nothing found
    kExitFound = 1,   // readable addresses found, or changes pending in a dry run
    kExitUsage = 2,   // wrong usage
    kExitFailed = 3,  // a run failed
};

// Where a command reads and writes. Results go to out, errors and progress to err.
struct CliIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // Progress is shown only to a person watching a terminal.
    bool errIsTerminal = false;
};

}  // namespace quill::cli
