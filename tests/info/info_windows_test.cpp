#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QScreen>
#include <functional>
#include <memory>

#include "info/about_box.hpp"
#include "info/credit.hpp"
#include "info/info_look.hpp"
#include "info/vk_tobrin.hpp"
#include "info_test_support.hpp"

namespace quill {
namespace {

class InfoWindowsTest : public test::InfoWindowTest {};

TEST_F(InfoWindowsTest, FixedWhiteCentredWithTheProgramIcon) {
    struct Case {
        const char* label;
        std::function<std::unique_ptr<QWidget>()> make;
        QSize clientSize;
    };
    const Case cases[] = {
        {"about", [] { return std::make_unique<TAboutBox>(); }, {298, 206}},
        {"credits", [] { return std::make_unique<Tcredit>(); }, {320, 240}},
        {"card", [] { return std::make_unique<TVK_Tobrin>(); }, {415, 218}},
    };
    const QPoint screenMiddle = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::unique_ptr<QWidget> window = c.make();
        EXPECT_EQ(window->minimumSize(), c.clientSize);
        EXPECT_EQ(window->maximumSize(), c.clientSize);
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::white));
        EXPECT_FALSE(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(window->windowIcon().pixmap(32, 32).size(), QSize(32, 32));

        window->move(0, 0);
        window->show();
        EXPECT_LE((window->frameGeometry().center() - screenMiddle).manhattanLength(), 2);
        window->close();
    }
}

// The executable's icon: one 32 x 32 picture of 24 bits per pixel, the same
// picture the windows show.
TEST_F(InfoWindowsTest, ExecutableIconIsTheWindowIconIn24Bits) {
    QFile file(QStringLiteral(QUILL_RESOURCE_FOLDER "/quillmaskerade.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    ASSERT_GE(ico.size(), 22 + 40);
    const auto word = [&ico](int at) { return quint8(ico[at]) | quint8(ico[at + 1]) << 8; };
    EXPECT_EQ(word(2), 1);  // an icon file
    EXPECT_EQ(word(4), 1);  // with one picture
    EXPECT_EQ(quint8(ico[6]), 32);
    EXPECT_EQ(quint8(ico[7]), 32);
    EXPECT_EQ(word(12), 24);
    const int picture = word(18) | word(20) << 16;
    ASSERT_LE(picture + 40, ico.size());
    EXPECT_EQ(word(picture + 14), 24);

    const QImage executableIcon = QImage::fromData(ico, "ICO").convertToFormat(QImage::Format_RGB32);
    const QImage windowIcon = QImage(kProgramIcon).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(executableIcon.size(), QSize(32, 32));
    EXPECT_EQ(executableIcon, windowIcon);
}

}  // namespace
}  // namespace quill
