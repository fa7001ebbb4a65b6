#pragma once

#include <memory>

namespace quill {

class TMaskerade;
class TAboutBox;
class Tcredit;
class TVK_Tobrin;

// The four windows of a run, each created once; they go in reverse order.
struct ProgramWindows {
    std::unique_ptr<TMaskerade> Maskerade;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<Tcredit> credit;
    std::unique_ptr<TVK_Tobrin> VK_Tobrin;

    ProgramWindows();
    ProgramWindows(ProgramWindows&&) noexcept;
    ~ProgramWindows();
};

// Creates the main window (which loads the settings), then the about,
// credits and business-card windows, all hidden, and wires them together.
ProgramWindows createProgramWindows();

}  // namespace quill
