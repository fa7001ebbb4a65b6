#include "app/start_up.hpp"

#include "app/main_window.hpp"
#include "info/about_box.hpp"
#include "info/credit.hpp"
#include "info/vk_tobrin.hpp"

namespace quill {

ProgramWindows::ProgramWindows() = default;
ProgramWindows::ProgramWindows(ProgramWindows&&) noexcept = default;

ProgramWindows::~ProgramWindows() {
    // Reverse order of creation; the main window goes last.
    VK_Tobrin.reset();
    credit.reset();
    AboutBox.reset();
    Maskerade.reset();
}

ProgramWindows createProgramWindows() {
    ProgramWindows windows;
    windows.Maskerade = std::make_unique<TMaskerade>();
    windows.AboutBox = std::make_unique<TAboutBox>();
    windows.credit = std::make_unique<Tcredit>();
    windows.VK_Tobrin = std::make_unique<TVK_Tobrin>();

    windows.Maskerade->setAboutBox(windows.AboutBox.get());
    windows.AboutBox->setCreditWindow(windows.credit.get());
    windows.credit->setBusinessCard(windows.VK_Tobrin.get());
    return windows;
}

}  // namespace quill
