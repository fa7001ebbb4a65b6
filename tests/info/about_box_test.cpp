#include "info/about_box.hpp"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include "info/credit.hpp"
#include "info/vk_tobrin.hpp"
#include "info_test_support.hpp"
#include "widgets/xp_button.hpp"

namespace quill {
namespace {

// Counts how often a window was shown.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) ++shows;
        return false;
    }
};

// Follows whether a window is blocked by a modal one.
class BlockSpy : public QObject {
public:
    bool blocked = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked) blocked = true;
        if (event->type() == QEvent::WindowUnblocked) blocked = false;
        return false;
    }
};

class AboutBoxTest : public test::InfoWindowTest {
protected:
    void SetUp() override {
        InfoWindowTest::SetUp();
        about.setCreditWindow(&credit);
        credit.installEventFilter(&counter);
    }

    // Double-clicks the icon; a credits window that opens is closed again at once.
    void doubleClickIcon() {
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, &credit, [this, &closer] {
            if (credit.isVisible()) {
                EXPECT_EQ(QApplication::activeModalWidget(), &credit);
                credit.close();
                closer.stop();
            }
        });
        closer.start();
        QTest::mouseDClick(about.findChild<QLabel*>("ProgramIcon"), Qt::LeftButton);
        closer.stop();
        EXPECT_FALSE(credit.isVisible());
    }

    TAboutBox about;
    Tcredit credit;
    ShowCounter counter;
};

TEST_F(AboutBoxTest, WindowAndControls) {
    EXPECT_EQ(about.objectName(), "AboutBox");
    EXPECT_EQ(about.windowTitle(), "Info");
    EXPECT_EQ(about.size(), QSize(298, 206));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    test::expectControls(about,
                         {
                             {"Panel1", "AboutBox", {8, 8, 281, 161}, {}, true},
                             {"ProgramIcon", "Panel1", {11, 19, 32, 32}, {}, true},
                             {"ProductName", "Panel1", {88, 16, 86, 13}, "Quillmaskerade", true},
                             {"Version", "Panel1", {88, 40, 53, 13}, "Version 2.6", true},
                             {"Copyright", "Panel1", {8, 80, 216, 13}, "Copyright © 2006 Tobias Rinne", true},
                             {"Comments", "Panel1", {8, 104, 195, 13}, "Internet: https://www.quillmaskerade.de", true},
                             {"OKButton", "AboutBox", {112, 176, 73, 25}, "OK", true},
                         });
    EXPECT_NE(qobject_cast<XpButton*>(about.findChild<QWidget*>("OKButton")), nullptr);
    EXPECT_EQ(about.findChild<QLabel*>("ProgramIcon")->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(about.findChild<QLabel*>("Comments")->cursor().shape(), Qt::PointingHandCursor);
}

void sendKey(QWidget* target, bool press, Qt::Key key) {
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

struct KeyStep {
    bool press;
    Qt::Key key;
};

struct AltCase {
    const char* label;
    std::vector<KeyStep> keys;
    bool altKeyDown;
};

// Keys reach the window whichever control has the focus (key preview).
TEST_F(AboutBoxTest, AltFlagFollowsTheKeys) {
    const AltCase cases[] = {
        {"alt held", {{true, Qt::Key_Alt}}, true},
        {"alt released", {{true, Qt::Key_Alt}, {false, Qt::Key_Alt}}, false},
        {"other key pressed while alt held", {{true, Qt::Key_Alt}, {true, Qt::Key_A}}, true},
        {"other key released", {{true, Qt::Key_Alt}, {true, Qt::Key_A}, {false, Qt::Key_A}}, false},
        {"alt pressed again", {{true, Qt::Key_Alt}, {true, Qt::Key_A}, {false, Qt::Key_A}, {true, Qt::Key_Alt}}, true},
        {"only another key", {{true, Qt::Key_Shift}}, false},
        {"alt gr counts as alt", {{true, Qt::Key_AltGr}}, true},
    };
    QWidget* targets[] = {about.findChild<QWidget*>("OKButton"), about.findChild<QWidget*>("Comments"), &about};
    for (QWidget* target : targets) {
        for (const AltCase& c : cases) {
            SCOPED_TRACE(c.label);
            SCOPED_TRACE(target->objectName().toStdString());
            AltKeyDown = false;
            for (const KeyStep& step : c.keys) sendKey(target, step.press, step.key);
            EXPECT_EQ(AltKeyDown, c.altKeyDown);
        }
    }
}

TEST_F(AboutBoxTest, HeldKeyRepeatingDoesNotClearTheFlag) {
    QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier, QString(), true);
    about.FormKeyDown(kAltKeyCode);
    QApplication::sendEvent(about.findChild<QWidget*>("OKButton"), &repeatedRelease);
    EXPECT_TRUE(AltKeyDown);
}

TEST_F(AboutBoxTest, IconDoubleClickOpensTheCreditsOnlyWithAlt) {
    doubleClickIcon();
    EXPECT_EQ(counter.shows, 0);

    sendKey(&about, true, Qt::Key_Alt);
    doubleClickIcon();
    EXPECT_EQ(counter.shows, 1);

    // Another key released in between clears the flag until Alt comes again.
    sendKey(&about, true, Qt::Key_A);
    sendKey(&about, false, Qt::Key_A);
    doubleClickIcon();
    EXPECT_EQ(counter.shows, 1);
    sendKey(&about, true, Qt::Key_Alt);
    doubleClickIcon();
    EXPECT_EQ(counter.shows, 2);
}

TEST_F(AboutBoxTest, CommentsOpenTheWebAddress) {
    QTest::mouseClick(about.findChild<QWidget*>("Comments"), Qt::LeftButton);
    EXPECT_EQ(desktop->shellOpens, QStringList{"https://www.quillmaskerade.de"});
}

TEST_F(AboutBoxTest, OkClosesAModalShowing) {
    QTimer::singleShot(0, &about, [this] { QTest::mouseClick(about.findChild<QWidget*>("OKButton"), Qt::LeftButton); });
    about.exec();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(counter.shows, 0);
}

// The whole chain: about window, credits on top of it, the card shown from the
// credits' animation. The card takes input while the modal windows are open,
// whether it comes up while the credits are shown or after they were closed.
TEST_F(AboutBoxTest, BusinessCardTakesInputBesideTheModalWindows) {
    for (const bool closeCreditsFirst : {false, true}) {
        SCOPED_TRACE(closeCreditsFirst ? "credits closed first" : "credits open");
        TAboutBox chainAbout;
        Tcredit chainCredit;
        TVK_Tobrin card;
        chainAbout.setCreditWindow(&chainCredit);
        chainCredit.setBusinessCard(&card);
        BlockSpy spy;
        card.installEventFilter(&spy);
        bool cardShown = false;
        bool blockedWhenShown = true;

        QTimer::singleShot(0, &chainAbout, [&] {
            QTimer::singleShot(0, &chainCredit, [&] {
                chainCredit.Image1Click();
                for (int tick = 0; tick < 87; ++tick) chainCredit.Timer1Timer();
                chainCredit.Image2Click();
                for (int tick = 0; tick < 70; ++tick) chainCredit.Timer2Timer();
                if (closeCreditsFirst) chainCredit.close();
                for (int tick = 0; tick < 6; ++tick) chainCredit.Timer2Timer();
                cardShown = card.isVisible();
                blockedWhenShown = spy.blocked;
                chainCredit.close();
            });
            AltKeyDown = true;
            chainAbout.ProgramIconDblClick();
            chainAbout.close();
        });
        chainAbout.exec();
        EXPECT_TRUE(cardShown);
        EXPECT_FALSE(blockedWhenShown);
        EXPECT_FALSE(spy.blocked);
        EXPECT_TRUE(card.isVisible());
    }
}

}  // namespace
}  // namespace quill
