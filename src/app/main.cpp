#include <QCoreApplication>
#include <filesystem>

#include "app/application.hpp"
#include "app/error_report.hpp"
#include "app/main_window.hpp"
#include "app/start_up.hpp"
#include "app/user_working_folder.hpp"

// The program reads no command line, and Qt gets none either: only the
// program's name, so that "-style", "-reverse" and the like do not act.
int main(int, char** argv) {
    int qtArgumentCount = 1;
    char* qtArguments[] = {argv[0], nullptr};
    quill::Application application(qtArgumentCount, qtArguments);
    std::error_code noFolder;
    const std::filesystem::path startFolder = std::filesystem::current_path(noFolder);
    // Before any window, since the main window loads its files from there.
    quill::runReporting([] { quill::enterUserWorkingFolder(QCoreApplication::applicationDirPath().toStdString()); });
    quill::ProgramWindows windows = quill::createProgramWindows();
    windows.Maskerade->setStartFolder(startFolder);
    windows.Maskerade->show();
    return quill::Application::exec();
}
