#include "info/vk_tobrin.hpp"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <utility>

#include "info_test_support.hpp"
#include "text/quill_error.hpp"

namespace quill {
namespace {

class CardTest : public test::InfoWindowTest {
protected:
    QTimer* timer() const { return card.findChild<QTimer*>("Timer1"); }
    void ticks(int count) {
        for (int tick = 0; tick < count; ++tick) card.Timer1Timer();
    }

    TVK_Tobrin card;
};

TEST_F(CardTest, WindowAndControls) {
    EXPECT_EQ(card.objectName(), "VK_Tobrin");
    EXPECT_EQ(card.windowTitle(), "Visitenkarte");
    EXPECT_EQ(card.size(), QSize(415, 218));
    struct Row {
        int top;
        const char* caption;
        const char* captionText;
        const char* value;
        QString valueText;
    };
    const Row rows[] = {
        {16, "Label1", "Name:", "Label10", "Rinne"},
        {40, "Label2", "Vorname:", "Label11", "Tobias"},
        {64, "Label3", "Wohnort:", "Label12", "24103 Kiel"},
        {88, "Label4", "Geburtsdatum:", "Label13", "14.03.1984"},
        {112, "Label5", "ICQ:", "Label14", "215384907"},
        {136, "Label6", "AIM:", "Label15", "TobiRinne84"},
        {160, "Label8", "Website:", "Label17", "https://www.quillmaskerade.de"},
        {184, "Label9", "E-Mail:", "Label18", "tobias@quillmaskerade.de"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        const auto* caption = card.findChild<QLabel*>(row.caption);
        const auto* value = card.findChild<QLabel*>(row.value);
        ASSERT_TRUE(caption && value);
        EXPECT_EQ(caption->text(), row.captionText);
        EXPECT_EQ(caption->pos(), QPoint(8, row.top));
        EXPECT_EQ(value->text(), row.valueText);
        EXPECT_EQ(value->pos(), QPoint(88, row.top));
        // Sized to the text: nothing is cut off.
        EXPECT_GE(value->width(), value->fontMetrics().horizontalAdvance(row.valueText));
    }
    for (const char* link : {"Label17", "Label18"})
        EXPECT_EQ(card.findChild<QLabel*>(link)->cursor().shape(), Qt::PointingHandCursor) << link;
    const auto* picture = card.findChild<QLabel*>("Image1");
    EXPECT_EQ(picture->geometry(), QRect(248, 16, 150, 188));
    EXPECT_EQ(picture->pixmap().size(), QSize(150, 188));
    EXPECT_EQ(timer()->interval(), 100);
    EXPECT_FALSE(timer()->isActive());
}

TEST_F(CardTest, FirstActivationFadesInOverFiftyTicks) {
    EXPECT_TRUE(card.alphaBlend());
    EXPECT_EQ(card.alphaBlendValue(), 0);
    EXPECT_DOUBLE_EQ(card.windowOpacity(), 0.0);

    card.FormActivate();
    ASSERT_TRUE(timer()->isActive());
    for (int tick = 1; tick <= 49; ++tick) {
        card.Timer1Timer();
        ASSERT_EQ(card.alphaBlendValue(), 5 * tick);
        ASSERT_TRUE(card.alphaBlend());
        ASSERT_TRUE(timer()->isActive());
    }
    EXPECT_NEAR(card.windowOpacity(), 245 / 255.0, 0.01);

    card.Timer1Timer();
    EXPECT_EQ(card.alphaBlendValue(), 250);
    EXPECT_FALSE(card.alphaBlend());
    EXPECT_FALSE(timer()->isActive());
    EXPECT_DOUBLE_EQ(card.windowOpacity(), 1.0);
}

TEST_F(CardTest, LaterActivationsStayOpaque) {
    card.FormActivate();
    ticks(50);
    for (int activation = 0; activation < 3; ++activation) {
        card.FormActivate();
        EXPECT_TRUE(timer()->isActive());
        ticks(1);
        EXPECT_FALSE(timer()->isActive());
        EXPECT_EQ(card.alphaBlendValue(), 250);
        EXPECT_FALSE(card.alphaBlend());
        EXPECT_DOUBLE_EQ(card.windowOpacity(), 1.0);
    }
}

TEST_F(CardTest, LinksOpenTheWebAddressAndAMailToTheAuthor) {
    QTest::mouseClick(card.findChild<QWidget*>("Label17"), Qt::LeftButton);
    QTest::mouseClick(card.findChild<QWidget*>("Label18"), Qt::LeftButton);
    EXPECT_EQ(desktop->shellOpens, (QStringList{"https://www.quillmaskerade.de", "mailto:tobias@quillmaskerade.de"}));
}

TEST_F(CardTest, ALinkTheDesktopCannotOpenEndsInAnErrorNamingIt) {
    desktop->unopenable << "https://www.quillmaskerade.de"
                        << "mailto:tobias@quillmaskerade.de";
    desktop->unopenableReason = QStringLiteral("Kein Programm zum Öffnen gefunden");
    for (const auto& [click, target] : {std::pair{&TVK_Tobrin::Label17Click, "https://www.quillmaskerade.de"},
                                        std::pair{&TVK_Tobrin::Label18Click, "mailto:tobias@quillmaskerade.de"}}) {
        try {
            (card.*click)();
            ADD_FAILURE() << "no error for " << target;
        } catch (const QuillError& error) {
            EXPECT_EQ(QString::fromUtf8(error.what()),
                      QStringLiteral("\"%1\" kann nicht geöffnet werden: Kein Programm zum Öffnen gefunden.")
                          .arg(QString::fromUtf8(target)));
        }
    }
}

}  // namespace
}  // namespace quill
