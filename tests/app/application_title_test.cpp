#include "app/application_title.hpp"

#include <gtest/gtest.h>

namespace quill {
namespace {

struct TitleCase {
    const char* path;
    const char* title;
};

class ApplicationTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitleTest, DerivesTheTitleFromTheFileName) {
    EXPECT_EQ(applicationTitleFor(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ApplicationTitleTest,
    ::testing::Values(TitleCase{"Quillmaskerade.exe", "Quillmaskerade"},
                      TitleCase{"/usr/local/bin/Quillmaskerade", "Quillmaskerade"},
                      TitleCase{"QUILLMASKERADE.EXE", "Quillmaskerade"},        // only the first capital stays
                      TitleCase{"quill.tar.gz", "quill"},                       // cut at the first point
                      TitleCase{"/opt/v2.6/MeinProgramm.bin", "Meinprogramm"},  // points of folders do not count
                      TitleCase{"ÄRGER.EXE", "Ärger"}, TitleCase{"X", "X"}, TitleCase{".versteckt", ""}));

TEST(RunningApplicationTitle, ComesFromTheExecutable) {
    EXPECT_EQ(applicationTitle(), QStringLiteral("test_app"));
}

}  // namespace
}  // namespace quill
