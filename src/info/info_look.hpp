#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

namespace quill {

// Pictures compiled into the program.
inline const QString kTitlePicture = QStringLiteral(":/titelbild.jpg");      // 307 x 174
inline const QString kPortraitPicture = QStringLiteral(":/portrait.jpg");    // 150 x 188
inline const QString kThanksPicture = QStringLiteral(":/danke.jpg");         // 150 x 188
inline const QString kProgramIcon = QStringLiteral(":/quillmaskerade.png");  // 32 x 32

// The large sans serif of the credits text, 19 pixels.
QFont creditFont();
// The bold, hand-lettered font of the credits' closing text, 19 pixels.
QFont closingFont();

// A JPEG picture of the program, decoded with libjpeg-turbo.
QPixmap jpegPicture(const QString& resourcePath);

// Fixed dialog frame with system menu and close box only, the given client
// size, white background, the program's font and icon, and placed in the
// middle of the screen whenever it is shown.
void setUpInfoWindow(QWidget& window, int clientWidth, int clientHeight);
// Widens a one-line label whose text needs more room in our font than the
// window definition gives it; position and height stay.
void widenToText(QLabel& label);
// Places a window in the middle of its screen.
void centreOnScreen(QWidget& window);

}  // namespace quill
