#include <gtest/gtest.h>

#include <filesystem>

#include "cli/site_files.hpp"
#include "cli/site_run.hpp"
#include "cli/unified_diff.hpp"
#include "cli_test_support.hpp"
#include "runs/local_run.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {
namespace {

struct Case {
    unsigned seed;
    StringList masks;  // empty: the command line's default, which the window gets as its extension list
    bool all;          // "Alle E-Mail-Adressen schützen"
};

// The readable addresses of a JSON result, with the site's folder cut out.
std::string readablePart(const std::string& json, const std::string& folder) {
    std::string part = json.substr(json.find("\"readable\":["));
    for (std::size_t at = part.find(folder); at != std::string::npos; at = part.find(folder, at))
        part.erase(at, folder.size());
    return part;
}

// One generated site three times: the command line runs over the first, the
// window's procedures ("Verzeichnis auswählen", then "Verzeichnis kodieren")
// over the second, and a trial run over the third. All must agree.
class CliDifferential : public ::testing::TestWithParam<Case> {};

TEST_P(CliDifferential, CommandLineWindowAndTrialRunGiveTheSameBytes) {
    const Case& param = GetParam();
    const quill::test::TempFolder root;
    for (const char* copy : {"cli", "window", "trial"}) generateSite(root.file(copy), param.seed);
    const auto original = treeBytes(root.file("cli"));
    const StringList masks = param.masks.empty() ? defaultMasks() : param.masks;

    std::vector<std::string> args = {"run", "--recursive", "--json"};
    for (const auto& mask : param.masks) args.insert(args.end(), {"--mask", mask});
    if (param.all) args.push_back("--all");
    std::vector<std::string> trialArgs = args;
    args.push_back(root.file("cli"));
    const Outcome cli = runInProcess(args);
    ASSERT_EQ(cli.code, 0) << cli.err;

    LocalRunParameters window = LocalRunParameters::over(searchFolder(root.file("window"), masks, true));
    window.protectAll = param.all;
    const RunOutcome windowOutcome = runLocalEncoding(window).outcome;
    const auto expected = treeBytes(root.file("window"));
    EXPECT_EQ(treeBytes(root.file("cli")), expected);
    EXPECT_NE(cli.out.find("\"message\":\"" + windowOutcome.text + "\""), std::string::npos) << cli.out;

    // The trial run predicts those bytes and leaves every file as it was.
    const auto times = treeTimes(root.file("trial"));
    trialArgs.insert(trialArgs.end(), {"--dry-run", root.file("trial")});
    const Outcome trial = runInProcess(trialArgs);
    EXPECT_EQ(trial.code, expected != original ? 1 : 0) << trial.err;
    EXPECT_EQ(readablePart(trial.out, root.file("trial")), readablePart(cli.out, root.file("cli")));
    const StringList predicted = collectSiteFiles({root.file("trial")}, masks, true, nullptr);
    for (const auto& file : encodeSiteFiles(predicted, {true, param.all, true, {}, nullptr}).files) {
        const auto relative = std::filesystem::relative(file.path, root.file("trial")).string();
        EXPECT_EQ(file.diff, unifiedDiff(file.path, original.at(relative), expected.at(relative))) << relative;
        EXPECT_EQ(file.changed, expected.at(relative) != original.at(relative)) << relative;
    }
    EXPECT_EQ(treeBytes(root.file("trial")), original);
    EXPECT_EQ(treeTimes(root.file("trial")), times);
}

INSTANTIATE_TEST_SUITE_P(Sites, CliDifferential,
                         ::testing::Values(Case{1, {}, false}, Case{2, {}, true}, Case{3, {"*.htm"}, false},
                                           Case{4, {"*.html", "*.HTM"}, true}, Case{5, {"*.*"}, false},
                                           Case{6, {"*kontakt.htm?", "*.txt"}, true}, Case{7, {}, true},
                                           Case{8, {"*.htmx"}, false}));

}  // namespace
}  // namespace quill::cli::test
