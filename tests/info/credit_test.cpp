#include "info/credit.hpp"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <optional>
#include <string>

#include "info/author_info.hpp"
#include "info/media_player.hpp"
#include "info/vk_tobrin.hpp"
#include "info_test_support.hpp"

namespace quill {
namespace {

const QString kStartText = QStringLiteral("Das Programm wurde von\r\nTobias Rinne erstellt.");
const QString kClosingText = QStringLiteral("\r\n\r\n\r\nQuillmaskerade\r\n\r\nVersion 2.6");

class CreditTest : public test::InfoWindowTest {
protected:
    void SetUp() override {
        InfoWindowTest::SetUp();
        credit.setBusinessCard(&card);
    }

    QLabel* control(const char* name) const { return credit.findChild<QLabel*>(QString::fromLatin1(name)); }
    QTimer* timer(const char* name) const { return credit.findChild<QTimer*>(QString::fromLatin1(name)); }
    void putMusic() { work().write("Quillmaskerade.dat", test::readFile(QUILL_RESOURCE_FOLDER "/Quillmaskerade.wav")); }

    void ticks(void (Tcredit::*handler)(), int count) {
        for (int tick = 0; tick < count; ++tick) (credit.*handler)();
    }
    void shrinkTitleAway() {
        credit.Image1Click();
        ticks(&Tcredit::Timer1Timer, 87);
    }
    void expectClosingLayout(bool closing) const {
        EXPECT_EQ(control("Label2")->isHidden(), !closing);
        EXPECT_EQ(control("Label1")->isHidden(), closing);
    }

    Tcredit credit;
    TVK_Tobrin card;
};

TEST_F(CreditTest, WindowAndControlsInTheirStackingOrder) {
    EXPECT_EQ(credit.objectName(), "credit");
    EXPECT_EQ(credit.windowTitle(), "Credits");
    EXPECT_EQ(credit.size(), QSize(320, 240));
    test::expectControls(credit, {
                                     {"Image2", "credit", {80, 8, 150, 169}, {}, true},
                                     {"Image1", "credit", {8, 8, 307, 174}, {}, true},
                                     {"Label1", "credit", {0, 184, 313, 57}, kStartText, true},
                                     {"Image3", "credit", {80, 8, 150, 169}, {}, false},
                                     {"Label2", "credit", {0, 0, 320, 240}, kClosingText, false},
                                 });
    QStringList order;
    for (QObject* child : credit.children()) {
        if (child->isWidgetType()) order << child->objectName();
    }
    EXPECT_EQ(order, (QStringList{"Image2", "Image1", "Label1", "Image3", "Label2"}));

    EXPECT_EQ(control("Image1")->pixmap().size(), QSize(307, 174));
    EXPECT_EQ(control("Image2")->pixmap().size(), QSize(150, 188));
    EXPECT_EQ(control("Image3")->pixmap().size(), QSize(150, 188));
    // Only the title picture follows its control's size; the others stay
    // centred at their own size and are cut where the control is smaller.
    struct Look {
        const char* name;
        bool scaled;
        Qt::Alignment alignment;
        bool fillsBackground;
    };
    const Look looks[] = {
        {"Image2", false, Qt::AlignCenter, false},
        {"Image1", true, Qt::AlignLeft | Qt::AlignVCenter, false},
        {"Label1", false, Qt::AlignHCenter | Qt::AlignTop, true},
        {"Image3", false, Qt::AlignCenter, false},
        {"Label2", false, Qt::AlignHCenter | Qt::AlignTop, false},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.name);
        EXPECT_EQ(control(look.name)->hasScaledContents(), look.scaled);
        EXPECT_EQ(control(look.name)->alignment(), look.alignment);
        EXPECT_EQ(control(look.name)->autoFillBackground(), look.fillsBackground);
    }
    EXPECT_EQ(control("Label1")->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(control("Label1")->font().pixelSize(), 19);
    const QFont closing = control("Label2")->font();
    EXPECT_EQ(closing.family(), "Comic Neue");
    EXPECT_TRUE(closing.bold());
    EXPECT_EQ(closing.pixelSize(), 19);
    for (const char* name : {"Timer1", "Timer2"}) {
        EXPECT_EQ(timer(name)->interval(), 100) << name;
        EXPECT_FALSE(timer(name)->isActive()) << name;
    }
}

TEST_F(CreditTest, TitlePictureShrinksAwayOnTheEightySeventhTick) {
    QTest::mouseClick(control("Image1"), Qt::LeftButton);
    ASSERT_TRUE(timer("Timer1")->isActive());
    ticks(&Tcredit::Timer1Timer, 86);
    EXPECT_FALSE(control("Image1")->isHidden());
    EXPECT_EQ(control("Image1")->geometry(), QRect(94, 94, 135, 2));
    EXPECT_TRUE(timer("Timer1")->isActive());

    credit.Timer1Timer();
    EXPECT_TRUE(control("Image1")->isHidden());
    EXPECT_EQ(control("Image1")->height(), 0);
    EXPECT_FALSE(timer("Timer1")->isActive());
}

// Where a click lands: the topmost visible control under the point.
TEST_F(CreditTest, AuthorPictureIsClickableOnlyOnceTheTitleIsGone) {
    const QPoint middle = control("Image2")->geometry().center();
    EXPECT_EQ(credit.childAt(middle), control("Image1"));
    shrinkTitleAway();
    EXPECT_EQ(credit.childAt(middle), control("Image2"));
    QTest::mouseClick(control("Image2"), Qt::LeftButton);
    EXPECT_TRUE(timer("Timer2")->isActive());
}

TEST_F(CreditTest, AuthorPictureEndsOnTheSeventySixthTickWithTheCard) {
    shrinkTitleAway();
    credit.Image2Click();
    ticks(&Tcredit::Timer2Timer, 75);
    EXPECT_FALSE(control("Image2")->isHidden());
    EXPECT_EQ(control("Image2")->geometry(), QRect(155, 83, 0, 19));
    EXPECT_FALSE(card.isVisible());
    EXPECT_EQ(control("Label1")->text(), kStartText);
    EXPECT_FALSE(MusicCreditShown);
    EXPECT_TRUE(control("Image3")->isHidden());

    credit.Timer2Timer();
    EXPECT_TRUE(control("Image2")->isHidden());
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_TRUE(card.isVisible());
    EXPECT_EQ(control("Label1")->text(), kMusicCredit);
    EXPECT_TRUE(control("Label1")->text().startsWith("Music by "));
    EXPECT_TRUE(MusicCreditShown);
    EXPECT_FALSE(control("Image3")->isHidden());
}

// The music file of the working folder: none at all, or data that is no sound.
struct SilentMusic {
    const char* label;
    std::optional<std::string> bytes;
};

class SilentCreditTest : public CreditTest, public ::testing::WithParamInterface<SilentMusic> {};

TEST_P(SilentCreditTest, NoMessageAndClosingSwitchesAtOnce) {
    if (GetParam().bytes) work().write("Quillmaskerade.dat", *GetParam().bytes);
    credit.show();
    // The media back end may need a moment to find out that it cannot play the data.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !credit.player().isOpen(); }, 10000));
    EXPECT_EQ(credit.player().fileName(), work().path() + "/Quillmaskerade.dat");
    EXPECT_TRUE(desktop->messageBoxes.empty());
    EXPECT_TRUE(desktop->errorBoxes.empty());
    expectClosingLayout(false);

    credit.close();
    EXPECT_FALSE(credit.isVisible());
    EXPECT_TRUE(desktop->messageBoxes.empty());
    EXPECT_TRUE(desktop->errorBoxes.empty());

    // The next showing is covered by the closing text, which takes every click.
    credit.show();
    expectClosingLayout(true);
    EXPECT_TRUE(control("Image3")->isHidden());
    EXPECT_FALSE(control("Image1")->isHidden());
    EXPECT_EQ(credit.childAt(control("Image1")->geometry().center()), control("Label2"));
    EXPECT_EQ(credit.childAt(QPoint(2, 2)), control("Label2"));
    credit.close();
}

INSTANTIATE_TEST_SUITE_P(Music, SilentCreditTest,
                         ::testing::Values(SilentMusic{"missing", std::nullopt},
                                           SilentMusic{"noSound", std::string("Das ist keine Musik.")}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(CreditTest, EscapeClosesThroughTheSameSteps) {
    credit.show();
    QTest::keyClick(&credit, Qt::Key_Escape);
    EXPECT_FALSE(credit.isVisible());
    credit.show();
    expectClosingLayout(true);
    credit.close();
}

// Restoring the window is no new showing: the music goes on and is not opened again.
TEST_F(CreditTest, MusicIsOpenedOncePerShowing) {
    putMusic();
    credit.show();
    EXPECT_EQ(credit.player().deviceId(), 1);
    credit.showMinimized();
    QCoreApplication::processEvents();
    credit.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(credit.player().deviceId(), 1);

    credit.close();
    credit.show();
    EXPECT_EQ(credit.player().deviceId(), 2);
    credit.close();
}

// The animation goes on while the window is hidden; its end still brings up the
// card, and only the close after that switches to the closing layout.
TEST_F(CreditTest, ClosingWhileTheAuthorPictureShrinks) {
    putMusic();
    credit.show();
    shrinkTitleAway();
    credit.Image2Click();
    ticks(&Tcredit::Timer2Timer, 10);
    EXPECT_TRUE(credit.player().isOpen());
    credit.close();
    EXPECT_FALSE(credit.isVisible());
    EXPECT_FALSE(credit.player().isOpen());
    expectClosingLayout(false);
    EXPECT_TRUE(timer("Timer2")->isActive());

    ticks(&Tcredit::Timer2Timer, 66);
    EXPECT_TRUE(card.isVisible());
    EXPECT_TRUE(MusicCreditShown);

    credit.show();
    EXPECT_TRUE(credit.player().isOpen());
    EXPECT_FALSE(control("Image3")->isHidden());
    EXPECT_EQ(control("Label1")->text(), kMusicCredit);
    expectClosingLayout(false);

    credit.close();
    credit.show();
    expectClosingLayout(true);
    EXPECT_TRUE(control("Image3")->isHidden());
    credit.close();
}

}  // namespace
}  // namespace quill
