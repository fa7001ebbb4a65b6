#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>
#include <regex>
#include <thread>

#include "child_process.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {
namespace {

namespace fs = std::filesystem;

const std::string kAppId = "de.quillmaskerade.Quillmaskerade";

// One installation into a temporary prefix for all cases of a test program.
class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<TempFolder>();
        const Finished install = runToEnd({QUILL_CMAKE, "--install", QUILL_BUILD_DIR, "--prefix", prefix_->path()});
        installOutput_ = install.output;
        installed_ = install.exitCode == 0;
    }
    static void TearDownTestSuite() { prefix_.reset(); }
    void SetUp() override { ASSERT_TRUE(installed_) << installOutput_; }

    static std::string installed(const std::string& name) { return prefix_->file(name); }

    static inline std::unique_ptr<TempFolder> prefix_;
    static inline std::string installOutput_;
    static inline bool installed_ = false;
};

// Width and height from a PNG file's header.
std::pair<int, int> pngSize(const std::string& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    const auto number = [&bytes](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 4; ++i) value = value * 256 + static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {number(16), number(20)};
}

TEST_F(InstallTest, ValidatorsAcceptTheLauncherAndTheMetadata) {
    const struct {
        std::vector<std::string> command;
        std::string file;
    } checks[] = {
        {{"desktop-file-validate"}, "share/applications/" + kAppId + ".desktop"},
        {{"appstreamcli", "validate", "--no-net"}, "share/metainfo/" + kAppId + ".metainfo.xml"},
    };
    for (const auto& check : checks) {
        if (!onPath(check.command.front()))
            GTEST_SKIP() << check.command.front() << " is not installed (scripts/deps installs it)";
        std::vector<std::string> command = check.command;
        command.push_back(installed(check.file));
        const Finished result = runToEnd(command);
        EXPECT_EQ(result.exitCode, 0) << check.file << ":\n" << result.output;
    }
}

TEST_F(InstallTest, PutsProgramHelpMusicListAndIconsUnderThePrefix) {
    EXPECT_EQ(access(installed("bin/Quillmaskerade").c_str(), X_OK), 0);
#ifdef QUILL_WITH_CLI
    EXPECT_EQ(access(installed("bin/quillmaskerade-cli").c_str(), X_OK), 0);
#endif
    for (const char* name : {"Quillmaskerade.chm", "Quillmaskerade.dat", "Hilfe/index.html", "Hilfe/hilfe.css"})
        EXPECT_GT(fs::file_size(installed(std::string("share/quillmaskerade/") + name)), 0u) << name;
    EXPECT_EQ(readFile(installed("share/quillmaskerade/Endungen.qmk")), "*.htm\r\n*.html\r\n");

    const std::string launcher = readFile(installed("share/applications/" + kAppId + ".desktop"));
    EXPECT_NE(launcher.find("\nIcon=" + kAppId + "\n"), std::string::npos);
    EXPECT_NE(launcher.find("\nExec=Quillmaskerade\n"), std::string::npos);
    // Docks match a window to its launcher by the window's class, which the
    // program takes from its file name: the first letter as is, the rest small.
    std::smatch wmClass;
    std::smatch exec;
    ASSERT_TRUE(std::regex_search(launcher, wmClass, std::regex("\nStartupWMClass=([^\n]*)\n")));
    ASSERT_TRUE(std::regex_search(launcher, exec, std::regex("\nExec=([^ .\n]*)")));
    std::string title = fs::path(exec[1].str()).filename().string();
    std::transform(title.begin() + 1, title.end(), title.begin() + 1, [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(wmClass[1].str(), title);
    EXPECT_NE(launcher.find("Adresssammlern"), std::string::npos);
    int sizes = 0;
    for (const auto& entry : fs::directory_iterator(installed("share/icons/hicolor"))) {
        const std::string folder = entry.path().filename().string();
        const int size = std::stoi(folder);
        EXPECT_EQ(folder, std::to_string(size) + "x" + std::to_string(size));
        const std::string icon = (entry.path() / "apps" / (kAppId + ".png")).string();
        EXPECT_EQ(pngSize(icon), std::pair(size, size)) << folder;
        // Drawn on a transparent ground: clear corners, an opaque middle.
        const QImage picture(QString::fromStdString(icon));
        EXPECT_TRUE(picture.hasAlphaChannel()) << folder;
        for (const QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
            EXPECT_EQ(picture.pixelColor(corner).alpha(), 0) << folder;
        EXPECT_EQ(picture.pixelColor(size / 2, size / 2).alpha(), 255) << folder;
        ++sizes;
    }
    EXPECT_GE(sizes, 6);
}

// The installed program prepares the user's folder before any window, works
// there, keeps the user's own list, and hands Qt no option: one that names a
// platform that does not exist would end it at once.
#ifdef QUILL_WITH_CLI
// The manual page shows with man, without a complaint from the formatter, and
// holds every command's help down to its last line.
TEST_F(InstallTest, ManShowsTheCommandLinesPage) {
    if (!onPath("man")) GTEST_SKIP() << "man is not installed (scripts/deps installs man-db)";
    const std::string page = installed("share/man/man1/quillmaskerade-cli.1");
    ASSERT_TRUE(fs::exists(page));
    const Finished shown =
        runToEnd({"/usr/bin/env", "MANPAGER=cat", "MANWIDTH=200", "LC_ALL=C.UTF-8", "man", "--warnings", "-l", page});
    EXPECT_EQ(shown.exitCode, 0) << shown.output;
    EXPECT_EQ(shown.output.find("warning"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("quillmaskerade-cli - Schützt E-Mail-Adressen"), std::string::npos) << shown.output;
    for (const std::string command : {"encode", "decode", "run", "audit", "remote", "backups", "undo"}) {
        const Finished help = runToEnd({installed("bin/quillmaskerade-cli"), command, "--help"});
        std::string text = help.output;
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
        const std::string lastLine = text.substr(text.rfind('\n') + 1);
        EXPECT_NE(shown.output.find(lastLine.substr(lastLine.find_first_not_of(' '))), std::string::npos)
            << command << ": " << lastLine;
    }
}
#endif

TEST_F(InstallTest, InstalledProgramWorksInTheUsersDataFolder) {
    const TempFolder user;
    const std::string folder = user.file("data/Quillmaskerade");
    user.write("data/Quillmaskerade/Endungen.qmk", "*.php\r\n");
    RunningProgram program(
        {installed("bin/Quillmaskerade"), "-platform", "no-such-platform"},
        {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_DATA_HOME", user.file("data")}, {"HOME", user.file("home")}},
        user.file("program.log"));
    const std::string cwdLink = "/proc/" + std::to_string(program.pid()) + "/cwd";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::error_code error;
    while (fs::read_symlink(cwdLink, error) != fs::path(folder)) {
        ASSERT_FALSE(program.ended()) << readFile(user.file("program.log"));
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "not in " << folder;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(readFile(folder + "/Endungen.qmk"), "*.php\r\n");
    for (const char* name : {"Quillmaskerade.chm", "Quillmaskerade.dat", "Hilfe/index.html"})
        EXPECT_EQ(readFile(folder + "/" + name), readFile(installed(std::string("share/quillmaskerade/") + name)));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(program.ended()) << readFile(user.file("program.log"));
}

#ifdef QUILL_WITH_CLI
// The installed command line keeps a run's originals where the installed
// window does, in the user's data folder, wherever it is called from; and
// finds them there again.
TEST_F(InstallTest, InstalledCommandLineKeepsBackupsInTheUsersDataFolder) {
    const TempFolder user;
    const std::string page = "<a href=\"mailto:a@b.de\">a</a>\n";
    user.write("site/index.html", page);
    fs::create_directories(user.file("call"));
    const auto cli = [&](const std::vector<std::string>& args) {
        std::vector<std::string> call = {"/usr/bin/env",
                                         "-C",
                                         user.file("call"),
                                         "XDG_DATA_HOME=" + user.file("data"),
                                         "HOME=" + user.file("home"),
                                         installed("bin/quillmaskerade-cli")};
        call.insert(call.end(), args.begin(), args.end());
        return runToEnd(call);
    };
    const Finished run = cli({"run", user.file("site")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_NE(readFile(user.file("site/index.html")), page);
    EXPECT_TRUE(fs::is_empty(user.file("call")));
    const fs::path kept = user.file("data/Quillmaskerade/Sicherungen");
    ASSERT_TRUE(fs::is_directory(kept)) << run.output;
    const fs::path runFolder = fs::directory_iterator(kept)->path();
    EXPECT_EQ(readFile((runFolder / fs::path(user.file("site/index.html")).relative_path()).string()), page);

    const Finished undo = cli({"undo"});
    EXPECT_EQ(undo.exitCode, 0) << undo.output;
    EXPECT_EQ(readFile(user.file("site/index.html")), page);
}
#endif

// A viewer shows the contents and index as their declared code page says.
TEST(HelpContents, CarryTheirUmlautsInTheDeclaredCodePage) {
    const std::regex entity("&[A-Za-z]+;");
    for (const char* name : {"Quillmaskerade.hhc", "Quillmaskerade.hhk"}) {
        const std::string text = readFile(std::string(QUILL_HELP_SOURCES) + "/" + name);
        EXPECT_NE(text.find("charset=windows-1252"), std::string::npos) << name;
        EXPECT_FALSE(std::regex_search(text, entity)) << name;
    }
    EXPECT_NE(readFile(std::string(QUILL_HELP_SOURCES) + "/Quillmaskerade.hhc")
                  .find("\"\xDC"
                        "bersicht\""),
              std::string::npos);
}

}  // namespace
}  // namespace quill::test
