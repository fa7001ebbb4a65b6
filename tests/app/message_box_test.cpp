#include "widgets/message_box.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

#include "support/desktop_fake.hpp"
#include "widgets/box_clipboard_text.hpp"
#include "widgets/error_box.hpp"
#include "widgets/message_box_layout.hpp"
#include "widgets/program_look.hpp"
#include "widgets/question_box.hpp"
#include "widgets/xp_button.hpp"

namespace quill {
namespace {

const QString kDivider = QStringLiteral("---------------------------\r\n");

void pressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&target, &press);
}

struct KindCase {
    MessageKind kind;
    const char* caption;
};

class MessageBoxKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(MessageBoxKindTest, CtrlCCopiesCaptionTextAndButton) {
    QGuiApplication::clipboard()->clear();
    MessageBoxDialog box(nullptr, QStringLiteral("Zeile eins\r\nZeile zwei"), GetParam().kind);
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8(GetParam().caption));
    pressKey(*box.okButton(), Qt::Key_C, Qt::ControlModifier);  // travels up from the focused button
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              kDivider + QString::fromUtf8(GetParam().caption) + QStringLiteral("\r\n") + kDivider +
                  QStringLiteral("Zeile eins\r\nZeile zwei\r\n") + kDivider + QStringLiteral("OK   \r\n") + kDivider);
}

TEST_P(MessageBoxKindTest, HasAnIconAndAFixedSize) {
    MessageBoxDialog box(nullptr, QStringLiteral("Text"), GetParam().kind);
    const auto* icon = box.findChildren<QLabel*>().front();
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_TRUE(box.isModal());
}

INSTANTIATE_TEST_SUITE_P(Kinds, MessageBoxKindTest,
                         ::testing::Values(KindCase{MessageKind::Information, "Informationen"},
                                           KindCase{MessageKind::Error, "Fehler"}));

TEST(BoxClipboardText, DropsAmpersandsAndFollowsEveryButtonWithThreeBlanks) {
    EXPECT_EQ(boxClipboardText(QStringLiteral("Titel"), QStringLiteral("T"),
                               {QStringLiteral("&Ja"), QStringLiteral("&Nein")}),
              kDivider + QStringLiteral("Titel\r\n") + kDivider + QStringLiteral("T\r\n") + kDivider +
                  QStringLiteral("Ja   Nein   \r\n") + kDivider);
}

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
};

class MessageBoxKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MessageBoxKeyTest, PressesOk) {
    MessageBoxDialog box(nullptr, QStringLiteral("Text"), MessageKind::Information);
    int clicks = 0;
    QObject::connect(box.okButton(), &QAbstractButton::clicked, [&clicks] { ++clicks; });
    box.setAttribute(Qt::WA_DontShowOnScreen);
    box.show();
    pressKey(*box.okButton(), GetParam().key, GetParam().modifiers);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Keys, MessageBoxKeyTest,
                         ::testing::Values(KeyCase{Qt::Key_Return, Qt::NoModifier},
                                           KeyCase{Qt::Key_Enter, Qt::KeypadModifier},
                                           KeyCase{Qt::Key_Escape, Qt::NoModifier}));

class MessageBoxLayoutTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MessageBoxLayoutTest, FollowsTheDialogUnitRules) {
    const QFontMetrics metrics(programFont());
    const int screenWidth = 800;
    const QString text = QString::fromUtf8(GetParam());
    const MessageBoxLayout layout = layoutMessageBox(metrics, text, QStringLiteral("OK"), screenWidth);
    const int unitX = averageCharWidth(metrics);  // four units
    const int unitY = metrics.height();           // eight units

    EXPECT_EQ(layout.icon, QRect((8 * unitX + 2) / 4, (8 * unitY + 4) / 8, 32, 32));
    EXPECT_EQ(layout.text.left(), layout.icon.right() + 1 + (10 * unitX + 2) / 4);
    EXPECT_EQ(layout.text.top(), layout.icon.top());
    EXPECT_LE(layout.text.width(), screenWidth / 2);
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, layout.text.width(), 100000), Qt::AlignLeft | Qt::TextWordWrap, text);
    EXPECT_LE(needed.height(), layout.text.height());

    EXPECT_EQ(layout.button.size(), QSize((50 * unitX + 2) / 4, (14 * unitY + 4) / 8));
    EXPECT_LE(std::abs(layout.button.left() * 2 + layout.button.width() - layout.client.width()), 1);
    const int textBlock = std::max(layout.text.height(), 32);
    EXPECT_EQ(layout.button.top(), layout.text.top() + textBlock + (10 * unitY + 4) / 8);
    EXPECT_EQ(layout.client.height(), layout.button.bottom() + 1 + layout.icon.top());
    EXPECT_EQ(layout.client.width(),
              std::max(layout.text.right() + 1, layout.icon.left() + layout.button.width()) + layout.icon.left());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageBoxLayoutTest,
    ::testing::Values("Kurz", "Es wurden keine unkodierten E-Mail-Adressen gefunden!", "eins\nzwei\ndrei\nvier",
                      "Ein sehr langer Text, der umbrochen werden muss, weil er breiter ist als die Hälfte des "
                      "Bildschirms, und der deshalb über mehrere Zeilen läuft, bis alles gesagt ist, was gesagt "
                      "werden muss."));

TEST(MessageBoxLayout, WidensTheButtonForALongCaption) {
    const QFontMetrics metrics(programFont());
    const QString caption = QStringLiteral("Eine sehr lange Beschriftung");
    const MessageBoxLayout layout = layoutMessageBox(metrics, QStringLiteral("x"), caption, 800);
    EXPECT_EQ(layout.button.width(), metrics.horizontalAdvance(caption) + 8);
    EXPECT_GE(layout.client.width(), layout.button.width() + 2 * layout.icon.left());
}

TEST(ErrorBox, CtrlCCopiesInTheMessageBoxLayout) {
    QGuiApplication::clipboard()->clear();
    ErrorBox box(nullptr, QStringLiteral("Quillmaskerade"),
                 QStringLiteral("Socket Error # 10061\r\nConnection refused."));
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    ASSERT_EQ(box.buttons().size(), 1);
    EXPECT_EQ(box.buttons().front()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(box.buttons().front()->icon().isNull());
    pressKey(*box.buttons().front(), Qt::Key_C, Qt::ControlModifier);  // travels up from the button
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              kDivider + QStringLiteral("Quillmaskerade\r\n") + kDivider +
                  QStringLiteral("Socket Error # 10061\r\nConnection refused.\r\n") + kDivider +
                  QStringLiteral("OK   \r\n") + kDivider);
}

struct AnswerCase {
    int key;
    bool yes;
};

class QuestionBoxKeyTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(QuestionBoxKeyTest, AnswersAndCloses) {
    QuestionBox box(nullptr, QStringLiteral("Quillmaskerade"), QStringLiteral("Vertrauen?"));
    box.setAttribute(Qt::WA_DontShowOnScreen);
    box.show();
    pressKey(*box.noButton(), GetParam().key);  // "Nein" has the focus, as the default
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.answeredYes(), GetParam().yes);
}

INSTANTIATE_TEST_SUITE_P(Keys, QuestionBoxKeyTest,
                         ::testing::Values(AnswerCase{Qt::Key_J, true}, AnswerCase{Qt::Key_N, false},
                                           AnswerCase{Qt::Key_Escape, false}, AnswerCase{Qt::Key_Return, false}));

TEST(QuestionBox, CtrlCCopiesLikeTheErrorBoxAndOtherLettersDoNothing) {
    QGuiApplication::clipboard()->clear();
    QuestionBox box(nullptr, QStringLiteral("Quillmaskerade"), QStringLiteral("Zeile eins\r\nZeile zwei?"));
    box.setAttribute(Qt::WA_DontShowOnScreen);
    box.show();
    pressKey(*box.noButton(), Qt::Key_X);
    pressKey(*box.noButton(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_TRUE(box.isVisible());
    pressKey(*box.noButton(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kDivider + QStringLiteral("Quillmaskerade\r\n") + kDivider +
                                                        QStringLiteral("Zeile eins\r\nZeile zwei?\r\n") + kDivider +
                                                        QStringLiteral("Ja   Nein   \r\n") + kDivider);
}

TEST(ShowMessageBox, GoesThroughTheDesktopAsUnicode) {
    test::InstalledDesktopFake desktop;
    ShowMessageBox(nullptr,
                   "Gr\xFC\xDF"
                   "e",
                   MessageKind::Error);
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QStringLiteral("Grüße"));
    EXPECT_EQ(desktop->messageBoxes[0].kind, MessageKind::Error);
}

}  // namespace
}  // namespace quill
