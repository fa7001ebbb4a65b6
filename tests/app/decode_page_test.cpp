#include <gtest/gtest.h>

#include <QLineEdit>

#include "app/memo.hpp"
#include "app_test_support.hpp"

namespace quill {
namespace {

using test::control;

struct DecodeCase {
    const char* name;
    const char* typed;      // the memo's text before the click (UTF-8)
    const char* memoAfter;  // the memo's text after it
    const char* decoded;    // the result field after it; "vorher" when unchanged
    const char* errorText;  // nullptr: no error box
};

class DecodePageTest : public test::WindowTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodePageTest, DecodesOrReportsAndLeavesTheFieldsAsGiven) {
    const DecodeCase& c = GetParam();
    writeWorkFile("Endungen.qmk", "");
    const auto window = makeWindow();
    auto& memo = control<Memo>(*window, "Kodierter_Text");
    auto& result = control<QLineEdit>(*window, "Dekodierter_Text");
    memo.setPlainText(QString::fromUtf8(c.typed));
    result.setText(QStringLiteral("vorher"));

    control<QAbstractButton>(*window, "Dekode").click();
    EXPECT_EQ(memo.text(), QString::fromUtf8(c.memoAfter));
    EXPECT_EQ(result.text(), QString::fromUtf8(c.decoded));
    if (c.errorText == nullptr) {
        EXPECT_TRUE(desktop->errorBoxes.empty());
    } else {
        ASSERT_EQ(desktop->errorBoxes.size(), 1u);
        EXPECT_EQ(desktop->errorBoxes[0].text, QString::fromUtf8(c.errorText));
    }
    EXPECT_TRUE(desktop->messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodePageTest,
    ::testing::Values(DecodeCase{"two lines joined", "&#97\r\n&#98", "&#97&#98", "ab", nullptr},
                      // A pasted LF is a line break of the memo like CR LF.
                      DecodeCase{"pasted LF is a line break", "&#97\n&#98\r\n&#99", "&#97&#98&#99", "abc", nullptr},
                      DecodeCase{"Hi", "&#72&#105", "&#72&#105", "Hi", nullptr},
                      DecodeCase{"above the code page", "&#321&#8211;&#x1F600", "&#321&#8211;&#x1F600", "Ł–😀", nullptr},
                      DecodeCase{"text before the first reference", "x&#65", "x&#65", "A", nullptr},
                      DecodeCase{"bar ends", "&#65&#|&#66", "&#65&#|&#66", "A", nullptr},
                      DecodeCase{"hexadecimal", "&#$41&#x42&#0X43", "&#$41&#x42&#0X43", "ABC", nullptr},
                      DecodeCase{"code page character", "&#228&#128", "&#228&#128", "ä€", nullptr},
                      DecodeCase{"empty piece", "&#&#65", "&#&#65", "vorher", "'' ist kein gültiger Integerwert."},
                      DecodeCase{"closing semicolon", "&#72;&#105;", "&#72;&#105;", "Hi", nullptr},
                      DecodeCase{"two semicolons", "&#72;;&#105;", "&#72;;&#105;", "vorher",
                                 "'72;;' ist kein gültiger Integerwert."},
                      DecodeCase{"pasted link", "<a href=\"&#97\">&#97</a>", "<a href=\"&#97\">&#97</a>", "vorher",
                                 "'97\">' ist kein gültiger Integerwert."},
                      DecodeCase{"no reference", "abc", "abc", "", nullptr},
                      DecodeCase{"empty memo", "", "", "", nullptr}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

}  // namespace
}  // namespace quill
