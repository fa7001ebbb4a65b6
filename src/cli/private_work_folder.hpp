#pragma once

#include <string>

#include "cli/scratch_folder.hpp"

namespace quill::cli {

// A scratch folder that the process works in while it lives: the remote run
// keeps its copies there, never in the folder the user called the program
// from, and a settings file with at most a trusted fingerprint. That file is
// always removed; the folder too, unless it still holds copies, which a
// failed run leaves for the user.
class PrivateWorkFolder {
public:
    PrivateWorkFolder();
    ~PrivateWorkFolder();
    PrivateWorkFolder(const PrivateWorkFolder&) = delete;
    PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;

    const std::string& path() const { return scratch_.path(); }
    // True when files besides the settings file are left in the folder.
    bool holdsCopies() const;

private:
    std::string previous_;
    ScratchFolder scratch_;
};

}  // namespace quill::cli
