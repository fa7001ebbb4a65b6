#include "app/application.hpp"
#include "app/main_window.hpp"
#include "app/start_up.hpp"

// The program reads no command line; Qt's own options are left to Qt.
int main(int argc, char** argv) {
    quill::Application application(argc, argv);
    quill::ProgramWindows windows = quill::createProgramWindows();
    windows.Maskerade->show();
    return quill::Application::exec();
}
