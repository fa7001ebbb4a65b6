#include "info/info_look.hpp"

#include "info/jpeg_image.hpp"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace quill {

namespace {
QFont pixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
}  // namespace

QFont infoFont() { return pixelFont(QStringLiteral("Liberation Sans"), 11, false); }

QFont creditFont() { return pixelFont(QStringLiteral("Liberation Sans"), 19, false); }

QFont closingFont() { return pixelFont(QStringLiteral("Comic Neue"), 19, true); }

QPixmap jpegPicture(const QString& resourcePath) { return QPixmap::fromImage(loadJpeg(resourcePath)); }

void setUpInfoWindow(QWidget& window, int clientWidth, int clientHeight) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setFixedSize(clientWidth, clientHeight);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setFont(infoFont());
    window.setWindowIcon(QIcon(kProgramIcon));
}

void widenToText(QLabel& label) {
    const int needed = label.fontMetrics().horizontalAdvance(label.text()) + 2 * label.margin();
    if (needed > label.width()) label.resize(needed, label.height());
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace quill
