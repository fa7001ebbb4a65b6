#include "widgets/message_box_layout.hpp"

#include <QFontMetrics>
#include <algorithm>

namespace quill {

namespace {

constexpr int kMargin = 8;        // both directions, in units
constexpr int kIconSpacing = 10;  // horizontal units between icon and text
constexpr int kButtonSpacing = 10;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kIconSize = 32;

struct DialogUnits {
    int charWidth;
    int charHeight;
    int x(int units) const { return (units * charWidth + 2) / 4; }
    int y(int units) const { return (units * charHeight + 4) / 8; }
};

}  // namespace

int averageCharWidth(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

MessageBoxLayout layoutMessageBox(const QFontMetrics& metrics, const QString& text, const QString& buttonCaption,
                                  int screenWidth) {
    const DialogUnits du{averageCharWidth(metrics), metrics.height()};
    const int maxTextWidth = std::max(1, screenWidth / 2);
    const QRect measured =
        metrics.boundingRect(QRect(0, 0, maxTextWidth, 1 << 20), Qt::AlignLeft | Qt::TextWordWrap, text);

    MessageBoxLayout layout;
    const int marginX = du.x(kMargin);
    const int marginY = du.y(kMargin);
    layout.icon = QRect(marginX, marginY, kIconSize, kIconSize);

    const int textLeft = layout.icon.right() + 1 + du.x(kIconSpacing);
    layout.text = QRect(textLeft, marginY, measured.width(), measured.height());
    const int textBlockHeight = std::max(measured.height(), kIconSize);

    const QString plainCaption = QString(buttonCaption).remove(u'&');
    const int buttonWidth = std::max(du.x(kButtonWidth), metrics.horizontalAdvance(plainCaption) + 8);
    const int buttonHeight = du.y(kButtonHeight);

    const int contentWidth = std::max(kIconSize + du.x(kIconSpacing) + measured.width(), buttonWidth);
    layout.client =
        QSize(contentWidth + 2 * marginX, textBlockHeight + du.y(kButtonSpacing) + buttonHeight + 2 * marginY);
    layout.button = QRect((layout.client.width() - buttonWidth) / 2, marginY + textBlockHeight + du.y(kButtonSpacing),
                          buttonWidth, buttonHeight);
    return layout;
}

}  // namespace quill
