// The window's "Verzeichnis kodieren" timed from the click to the closing box,
// on the offscreen platform with the desktop's dialogs scripted:
//   window_run_timer [--no-backup] FOLDER
// searches FOLDER with "*.htm" and "*.html" (sub-folders included), rewrites it
// in place and prints on standard output the processor seconds of the
// window's own thread (its lists, progress window and event handling) and
// the seconds from the click to the box, the box's text on standard error.
// bench/end_to_end.py times it against the single-pass baseline.
#include <QAbstractButton>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "support/desktop_fake.hpp"
#include "support/gui_test_environment.hpp"
#include "widgets/program_look.hpp"

namespace {

void click(QWidget& window, const char* name) {
    window.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

// Processor seconds of the calling thread.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    const bool noBackup = argc == 3 && std::string_view(argv[1]) == "--no-backup";
    if (argc != 2 && !noBackup) {
        std::fprintf(stderr, "usage: window_run_timer [--no-backup] FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(std::filesystem::absolute(argv[argc - 1]).c_str());
    quill::test::prepareGuiTestEnvironment();
    quill::Application application(argc, argv);
    // The window keeps its settings in the folder it starts in.
    const QTemporaryDir work;
    std::filesystem::current_path(work.path().toStdString());
    std::ofstream(work.filePath(QStringLiteral("Endungen.qmk")).toStdString()) << "*.htm\r\n*.html\r\n";
    // "Sicherung" is ticked unless the settings say otherwise.
    if (noBackup)
        std::ofstream(work.filePath(QStringLiteral("Einstellungen.qmk")).toStdString())
            << "[Quillmaskerade]\r\nSicherung=Nein\r\n";

    const quill::test::InstalledDesktopFake desktop;
    quill::applyProgramLook();
    quill::TMaskerade window;
    desktop->scriptFolder(folder);
    click(window, "Verzeichnis_suchen");

    const double threadStart = threadSeconds();
    const auto start = std::chrono::steady_clock::now();
    click(window, "Verzeichnis_kodieren");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double windowThread = threadSeconds() - threadStart;
    if (desktop->messageBoxes.empty()) {
        std::fprintf(stderr, "no box after the run\n");
        return 1;
    }
    std::fprintf(stderr, "%s\n", desktop->messageBoxes.front().text.toUtf8().constData());
    std::printf("%.3f %.3f\n", windowThread, took.count());
    return 0;
}
