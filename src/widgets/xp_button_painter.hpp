#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QFont;
class QPainter;

namespace quill {

// What decides a button's look at one moment.
struct XpButtonState {
    bool enabled = true;
    bool hovered = false;  // the mouse is over the button
    bool focused = false;
    bool pressed = false;  // held down with the mouse over it (or by the keyboard)
};

// The colour of one of 64 steps between two colours, for row `row` of a
// gradient `rows` high: the first row gets `from`, the last one `to`.
QColor gradientStep(const QColor& from, const QColor& to, int row, int rows);

// Paints the whole button into `rect`: the rounded border with softened
// corners, the face, the hover or focus frame and the caption. The four
// outermost corner pixels are left untouched, so the parent shows through.
void paintXpButton(QPainter& painter, const QRect& rect, const XpButtonState& state, const QString& caption,
                   const QFont& font);

}  // namespace quill
