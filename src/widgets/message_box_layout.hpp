#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QFontMetrics;

namespace quill {

// Where everything stands in the message box, in pixels of its client area.
struct MessageBoxLayout {
    QRect icon;
    QRect text;
    QRect button;
    QSize client;
};

// The box laid out in dialog units of its font (a horizontal unit is a
// quarter of the average character width, a vertical unit an eighth of the
// character height). The text wraps at half the screen width at most.
MessageBoxLayout layoutMessageBox(const QFontMetrics& metrics, const QString& text, const QString& buttonCaption,
                                  int screenWidth);

// The average character width the desktop uses for dialog units.
int averageCharWidth(const QFontMetrics& metrics);

}  // namespace quill
