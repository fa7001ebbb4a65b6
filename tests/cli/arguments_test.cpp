#include "cli/arguments.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "cli_test_support.hpp"

namespace quill::cli {
namespace {

const std::vector<OptionSpec> kRunOptions = {{"--help"},    {"--recursive"}, {"--mask", true, true}, {"--all"},
                                             {"--dry-run"}, {"--json"},      {"--settings", true}};

struct Row {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> flags;  // the long flags the arguments set
    std::string error;               // the refusal, empty when accepted
};

const Row kRows[] = {
    {"ShortFlags", {"-r", "site", "-n"}, {"--recursive", "--dry-run"}, ""},
    {"JoinedShortFlags", {"-rna", "site"}, {"--recursive", "--dry-run", "--all"}, ""},
    {"ShortHelp", {"-h"}, {"--help"}, ""},
    {"ValueThatLooksLikeAFlag", {"--mask", "-r", "site"}, {}, ""},
    {"AfterTheEndOfOptions", {"--", "-r"}, {}, ""},
    {"ShortFlagGivenTwice", {"-r", "--recursive"}, {}, "Die Option --recursive ist mehrfach angegeben."},
    {"UnknownShortFlag", {"-rx"}, {}, "Unbekannte Option: -x"},
    {"ShortFlagForAValueOption", {"-m"}, {}, "Unbekannte Option: -m"},
    {"TypoInALongOption", {"--recusive"}, {}, "Unbekannte Option: --recusive. Meinten Sie --recursive?"},
    {"MissingDash", {"--dryrun"}, {}, "Unbekannte Option: --dryrun. Meinten Sie --dry-run?"},
    {"TypoWithValue", {"--setings=x"}, {}, "Unbekannte Option: --setings. Meinten Sie --settings?"},
    {"NothingClose", {"--verbose"}, {}, "Unbekannte Option: --verbose"},
};

class ArgumentsTable : public ::testing::TestWithParam<Row> {};

TEST_P(ArgumentsTable, ShortFlagsAndTheClosestOption) {
    const Row& row = GetParam();
    try {
        const ParsedArguments parsed = parseArguments(row.args, kRunOptions);
        EXPECT_EQ(row.error, "") << "accepted";
        for (const OptionSpec& option : kRunOptions) {
            const bool expected = std::find(row.flags.begin(), row.flags.end(), option.name) != row.flags.end();
            if (!option.takesValue) {
                EXPECT_EQ(parsed.has(option.name), expected) << option.name;
            }
        }
    } catch (const UsageError& refused) {
        EXPECT_EQ(refused.what(), row.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ArgumentsTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

TEST(Arguments, AShortFlagsValueIsNotReadAsFlags) {
    const ParsedArguments parsed = parseArguments({"--mask", "-r", "-n"}, kRunOptions);
    EXPECT_EQ(parsed.values("--mask"), std::vector<std::string>{"-r"});
    EXPECT_FALSE(parsed.has("--recursive"));
    EXPECT_TRUE(parsed.has("--dry-run"));
}

// Before any command only the program's own options are known.
TEST(Arguments, AMistypedProgramOptionNamesTheClosest) {
    const std::pair<std::string, std::string> rows[] = {
        {"--verison", "Unbekannte Option: --verison. Meinten Sie --version?"},
        {"-r", "Unbekannte Option: -r"},
    };
    for (const auto& [given, said] : rows) {
        const test::Outcome outcome = test::runInProcess({given});
        EXPECT_EQ(outcome.code, 2) << given;
        EXPECT_NE(outcome.err.find(said + "\n"), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace quill::cli
