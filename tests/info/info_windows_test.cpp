#include "info/about_box.hpp"
#include "info/credit.hpp"
#include "info/vk_tobrin.hpp"
#include "info_test_support.hpp"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <functional>
#include <memory>

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

}  // namespace
}  // namespace quill
