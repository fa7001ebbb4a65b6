#include "widgets/program_look.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontInfo>
#include <QTranslator>

namespace quill {
namespace {

TEST(ProgramLook, QtsOwnTextsAreGerman) {
    QTranslator translator;
    ASSERT_TRUE(loadGermanQtTranslations(translator));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
    QCoreApplication::removeTranslator(&translator);
}

TEST(ProgramLook, FontIsAnElevenPixelSansSerifThatIsInstalled) {
    const QFont font = programFont();
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
}

}  // namespace
}  // namespace quill
