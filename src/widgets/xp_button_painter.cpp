#include "widgets/xp_button_painter.hpp"

#include <QFont>
#include <QPainter>

namespace quill {

namespace {

const QColor kBorder(0, 60, 115);
const QColor kBorderDisabled(206, 199, 189);
const QColor kSoftCorner(123, 158, 173);
const QColor kFaceTop(255, 255, 255);
const QColor kFaceBottom(239, 235, 231);
const QColor kPressedTop(214, 207, 198);
const QColor kPressedBottom(247, 243, 235);
const QColor kHoverTop(255, 243, 206);
const QColor kHoverBottom(231, 150, 0);
const QColor kFocusTop(206, 231, 255);
const QColor kFocusBottom(109, 132, 239);
const QColor kCaption(0, 0, 0);
const QColor kCaptionDisabled(161, 161, 146);

constexpr int kSteps = 64;
constexpr int kFrameWidth = 2;

int blend(int from, int to, int step) {
    return from + (to - from) * step / (kSteps - 1);
}

// Fills the rows of `area` with a vertical gradient laid over the rows of `span`.
void fillGradient(QPainter& painter, const QRect& area, const QRect& span, const QColor& from, const QColor& to) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QColor colour = gradientStep(from, to, y - span.top(), span.height());
        painter.fillRect(QRect(area.left(), y, area.width(), 1), colour);
    }
}

void paintBorder(QPainter& painter, const QRect& r, const QColor& border) {
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    painter.fillRect(QRect(QPoint(l + 2, t), QPoint(rt - 2, t)), border);
    painter.fillRect(QRect(QPoint(l + 2, b), QPoint(rt - 2, b)), border);
    painter.fillRect(QRect(QPoint(l, t + 2), QPoint(l, b - 2)), border);
    painter.fillRect(QRect(QPoint(rt, t + 2), QPoint(rt, b - 2)), border);
    for (const QPoint p : {QPoint(l + 1, t + 1), QPoint(rt - 1, t + 1), QPoint(l + 1, b - 1), QPoint(rt - 1, b - 1)})
        painter.fillRect(QRect(p, QSize(1, 1)), border);
    for (const QPoint p : {QPoint(l + 1, t), QPoint(l, t + 1), QPoint(rt - 1, t), QPoint(rt, t + 1), QPoint(l, b - 1),
                           QPoint(l + 1, b), QPoint(rt, b - 1), QPoint(rt - 1, b)})
        painter.fillRect(QRect(p, QSize(1, 1)), kSoftCorner);
}

}  // namespace

QColor gradientStep(const QColor& from, const QColor& to, int row, int rows) {
    const int step = rows > 1 ? row * (kSteps - 1) / (rows - 1) : 0;
    return {blend(from.red(), to.red(), step), blend(from.green(), to.green(), step),
            blend(from.blue(), to.blue(), step)};
}

void paintXpButton(QPainter& painter, const QRect& rect, const XpButtonState& state, const QString& caption,
                   const QFont& font) {
    if (rect.width() < 4 || rect.height() < 4) return;
    painter.save();
    const QRect face = rect.adjusted(1, 1, -1, -1);
    const bool pressed = state.enabled && state.pressed;
    if (pressed)
        fillGradient(painter, face, face, kPressedTop, kPressedBottom);
    else
        fillGradient(painter, face, face, kFaceTop, kFaceBottom);

    // The frame shows the mouse first, the focus second; a pressed face has none.
    if (state.enabled && !pressed && (state.hovered || state.focused)) {
        const QColor top = state.hovered ? kHoverTop : kFocusTop;
        const QColor bottom = state.hovered ? kHoverBottom : kFocusBottom;
        fillGradient(painter, face, face, top, bottom);
        const QRect inner = face.adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
        if (inner.isValid()) fillGradient(painter, inner, face, kFaceTop, kFaceBottom);
    }

    paintBorder(painter, rect, state.enabled ? kBorder : kBorderDisabled);

    painter.setFont(font);
    painter.setPen(state.enabled ? kCaption : kCaptionDisabled);
    QRect textArea = face.adjusted(kFrameWidth + 1, kFrameWidth, -kFrameWidth - 1, -kFrameWidth);
    if (pressed) textArea.translate(1, 1);
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, caption);
    painter.restore();
}

}  // namespace quill
