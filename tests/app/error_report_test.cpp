#include "app/error_report.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/desktop_fake.hpp"
#include "text/quill_error.hpp"

namespace quill {
namespace {

struct TextCase {
    const char* message;
    const char* shown;
};

class ErrorBoxTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxTextTest, AddsAPointOnlyAfterCharactersAbovePoint) {
    EXPECT_EQ(errorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Messages, ErrorBoxTextTest,
                         ::testing::Values(TextCase{"Zugriff verweigert", "Zugriff verweigert."},
                                           TextCase{"Fehler 5", "Fehler 5."}, TextCase{"Wirklich?", "Wirklich?."},
                                           TextCase{"Ende.", "Ende."}, TextCase{"Halt!", "Halt!"},
                                           TextCase{"(Code 3)", "(Code 3)"}, TextCase{"Zeile\r\n", "Zeile\r\n"},
                                           TextCase{"a-b-", "a-b-"}, TextCase{"Pfad /", "Pfad /."}, TextCase{"", ""},
                                           TextCase{"Datei übergangen: Ä", "Datei übergangen: Ä."}));

TEST(ReportException, ShowsOneErrorBoxWithTheTitleAsCaption) {
    test::InstalledDesktopFake desktop;
    runReporting([] { throw QuillError("Datei fehlt"); });
    runReporting([] { throw std::runtime_error("Ende."); });
    runReporting([] {});
    ASSERT_EQ(desktop->errorBoxes.size(), 2u);
    EXPECT_EQ(desktop->errorBoxes[0].caption, QStringLiteral("test_app"));
    EXPECT_EQ(desktop->errorBoxes[0].text, QStringLiteral("Datei fehlt."));
    EXPECT_EQ(desktop->errorBoxes[1].text, QStringLiteral("Ende."));
}

TEST(ReportException, StopsTheHandlerWhereTheExceptionArises) {
    test::InstalledDesktopFake desktop;
    int steps = 0;
    runReporting([&] {
        ++steps;
        throw QuillError("x");
        ++steps;  // never reached
    });
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(desktop->errorBoxes.size(), 1u);
}

}  // namespace
}  // namespace quill
