#include "cli/terminal_progress.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace quill::cli {
namespace {

struct Case {
    const char* name;
    bool terminal;
    int delayMs;
    bool shown;
};

// Progress reaches a terminal once a run has lasted its delay, never a pipe,
// and leaves the line empty behind it.
class TerminalProgressCases : public ::testing::TestWithParam<Case> {};

TEST_P(TerminalProgressCases, ShowsOnlyOnALongRunOnATerminal) {
    const Case& param = GetParam();
    std::ostringstream err;
    {
        TerminalProgress progress(err, param.terminal, std::chrono::milliseconds(param.delayMs));
        progress.stepStarted(RunStep::Downloading, 3);
        for (std::size_t done = 0; done <= 3; ++done) progress.progress(done, 3, "seite.html");
        progress.stepStarted(RunStep::Searching, 0);
        progress.fileFound("a.html");
        progress.stepStarted(RunStep::Encoding, 1);
        progress.progress(1, 1, "");
    }
    const std::string text = err.str();
    if (!param.shown) {
        EXPECT_EQ(text, "");
        return;
    }
    EXPECT_NE(text.find("\rDateien werden heruntergeladen… 3/3"), std::string::npos) << text;
    // The shorter line blanks out the rest of the longer one.
    const std::string shortText = "Dateien werden kodiert… 1/1";
    const std::size_t shortLine = text.find("\r" + shortText);
    ASSERT_NE(shortLine, std::string::npos) << text;
    const std::size_t longWidth = std::string("Dateien werden heruntergeladen… 3/3").size();
    EXPECT_EQ(text.substr(shortLine + 1, longWidth), shortText + std::string(longWidth - shortText.size(), ' '));
    EXPECT_EQ(text.substr(text.size() - longWidth - 2), "\r" + std::string(longWidth, ' ') + "\r");
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminalProgressCases,
                         ::testing::Values(Case{"Terminal", true, 0, true}, Case{"Pipe", false, 0, false},
                                           Case{"ShortRun", true, 60000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill::cli
