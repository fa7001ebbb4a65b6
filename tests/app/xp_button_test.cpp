#include "widgets/xp_button.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSet>

#include "widgets/program_look.hpp"
#include "widgets/xp_button_painter.hpp"

namespace quill {
namespace {

const QRgb kBackground = qRgb(255, 0, 255);

QImage render(const XpButtonState& state, const QString& caption = QString(), QSize size = {73, 21}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    paintXpButton(painter, image.rect(), state, caption, programFont());
    return image;
}

struct StateCase {
    const char* name;
    XpButtonState state;
    QRgb border;
    QRgb frameTop;     // just inside the border, top row
    QRgb frameBottom;  // just inside the border, bottom row
    QRgb faceFrom;     // the face gradient inside the frame runs between these
    QRgb faceTo;
};

class XpButtonPixelTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(XpButtonPixelTest, PaintsTheColoursOfTheState) {
    const StateCase& c = GetParam();
    const QImage image = render(c.state);
    const int right = 72, bottom = 20;
    // Outermost corners stay untouched; the next pixels are softened.
    for (const QPoint p : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
        EXPECT_EQ(image.pixel(p), kBackground) << c.name << " corner " << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(1, 0), QPoint(0, 1), QPoint(right - 1, 0), QPoint(right, bottom - 1)})
        EXPECT_EQ(image.pixel(p), qRgb(123, 158, 173)) << c.name << " soft corner " << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(36, 0), QPoint(36, bottom), QPoint(0, 10), QPoint(right, 10), QPoint(1, 1),
                           QPoint(right - 1, bottom - 1)})
        EXPECT_EQ(image.pixel(p), c.border) << c.name << " border " << p.x() << "," << p.y();
    EXPECT_EQ(image.pixel(36, 1), c.frameTop) << c.name;
    EXPECT_EQ(image.pixel(36, bottom - 1), c.frameBottom) << c.name;
    for (const int y : {3, 10, bottom - 3}) {
        const QRgb face = image.pixel(36, y);
        const auto within = [](int value, int a, int b) { return value >= std::min(a, b) && value <= std::max(a, b); };
        EXPECT_TRUE(within(qRed(face), qRed(c.faceFrom), qRed(c.faceTo)) &&
                    within(qGreen(face), qGreen(c.faceFrom), qGreen(c.faceTo)) &&
                    within(qBlue(face), qBlue(c.faceFrom), qBlue(c.faceTo)))
            << c.name << " face row " << y;
    }
}

const QRgb kBlue = qRgb(0, 60, 115);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kFace = qRgb(239, 235, 231);

INSTANTIATE_TEST_SUITE_P(
    States, XpButtonPixelTest,
    ::testing::Values(
        StateCase{"normal", {}, kBlue, qRgb(255, 255, 255), qRgb(239, 235, 231), kWhite, kFace},
        StateCase{"hover", {.hovered = true}, kBlue, qRgb(255, 243, 206), qRgb(231, 150, 0), kWhite, kFace},
        StateCase{"focus", {.focused = true}, kBlue, qRgb(206, 231, 255), qRgb(109, 132, 239), kWhite, kFace},
        StateCase{"hover beats focus",
                  {.hovered = true, .focused = true},
                  kBlue,
                  qRgb(255, 243, 206),
                  qRgb(231, 150, 0),
                  kWhite,
                  kFace},
        StateCase{"pressed",
                  {.hovered = true, .pressed = true},
                  kBlue,
                  qRgb(214, 207, 198),
                  qRgb(247, 243, 235),
                  qRgb(214, 207, 198),
                  qRgb(247, 243, 235)},
        StateCase{"disabled",
                  {.enabled = false, .hovered = true},
                  qRgb(206, 199, 189),
                  qRgb(255, 255, 255),
                  qRgb(239, 235, 231),
                  kWhite,
                  kFace}));

TEST(XpButtonPainter, FrameIsTwoPixelsWide) {
    const QImage plain = render({});
    const QImage hovered = render({.hovered = true});
    for (const int x : {1, 2, 70, 71}) EXPECT_NE(hovered.pixel(x, 10), plain.pixel(x, 10)) << x;
    for (const int x : {3, 36, 69}) EXPECT_EQ(hovered.pixel(x, 10), plain.pixel(x, 10)) << x;
}

TEST(XpButtonPainter, GradientHasSixtyFourStepsFromFirstToLastRow) {
    const QColor from(0, 0, 0), to(252, 0, 0);
    QSet<int> reds;
    for (int row = 0; row < 300; ++row) reds.insert(gradientStep(from, to, row, 300).red());
    EXPECT_EQ(reds.size(), 64);
    EXPECT_EQ(gradientStep(from, to, 0, 300), from);
    EXPECT_EQ(gradientStep(from, to, 299, 300), to);
}

// The box around the dark caption pixels.
QRect captionBox(const QImage& image) {
    QRect box;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            if (qGray(image.pixel(x, y)) < 100) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(XpButtonPainter, PressedCaptionMovesOnePixelRightAndDown) {
    const QRect normal = captionBox(render({}, QStringLiteral("Hilfe")));
    const QRect pressed = captionBox(render({.pressed = true}, QStringLiteral("Hilfe")));
    ASSERT_FALSE(normal.isEmpty());
    EXPECT_EQ(pressed, normal.translated(1, 1));
    // Centred in the button.
    EXPECT_LE(std::abs(normal.left() + normal.right() - 72), 2);
}

TEST(XpButtonPainter, DisabledCaptionIsGrey) {
    const QImage image = render({.enabled = false}, QStringLiteral("Hilfe"));
    EXPECT_TRUE(captionBox(image).isEmpty());
}

TEST(XpButton, HasTheDefaultSize) {
    XpButton button;
    EXPECT_EQ(button.size(), QSize(73, 21));
    EXPECT_EQ(button.sizeHint(), QSize(73, 21));
}

TEST(XpButton, TracksMouseAndPressAndPaintsThem) {
    XpButton button(QStringLiteral("OK"));
    EXPECT_FALSE(button.state().hovered);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.state().hovered);
    EXPECT_EQ(button.grab().toImage().pixel(36, 1), qRgb(255, 243, 206));
    button.setDown(true);
    EXPECT_TRUE(button.state().pressed);
    EXPECT_EQ(button.grab().toImage().pixel(36, 1), qRgb(214, 207, 198));
    button.setDown(false);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.state().hovered);
    EXPECT_EQ(button.grab().toImage().pixel(36, 1), qRgb(255, 255, 255));
    button.setEnabled(false);
    EXPECT_EQ(button.grab().toImage().pixel(36, 0), qRgb(206, 199, 189));
}

TEST(XpButton, ShowsTheFocusFrame) {
    QWidget window;
    auto* button = new XpButton(QStringLiteral("OK"), &window);
    window.show();
    QApplication::setActiveWindow(&window);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    EXPECT_TRUE(button->state().focused);
    EXPECT_EQ(button->grab().toImage().pixel(36, 1), qRgb(206, 231, 255));
}

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    int clicks;
};

class XpButtonKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(XpButtonKeyTest, EnterClicksTheButton) {
    XpButton button(QStringLiteral("OK"));
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    QKeyEvent press(QEvent::KeyPress, GetParam().key, GetParam().modifiers);
    QCoreApplication::sendEvent(&button, &press);
    EXPECT_EQ(clicks, GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(Keys, XpButtonKeyTest,
                         ::testing::Values(KeyCase{Qt::Key_Return, Qt::NoModifier, 1},
                                           KeyCase{Qt::Key_Enter, Qt::KeypadModifier, 1},
                                           KeyCase{Qt::Key_Return, Qt::ControlModifier, 0},
                                           KeyCase{Qt::Key_A, Qt::NoModifier, 0}));

}  // namespace
}  // namespace quill
