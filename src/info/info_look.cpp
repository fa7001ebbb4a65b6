#include "info/info_look.hpp"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "info/jpeg_image.hpp"
#include "widgets/program_look.hpp"

namespace quill {

namespace {

class CentreOnShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) centreOnScreen(*static_cast<QWidget*>(watched));
        return false;
    }
};

}  // namespace

QFont creditFont() {
    QFont font = programFont();
    font.setPixelSize(19);
    return font;
}

QFont closingFont() {
    QFont font(QStringLiteral("Comic Neue"));
    font.setStyleHint(QFont::Cursive);
    font.setPixelSize(19);
    font.setBold(true);
    return font;
}

QPixmap jpegPicture(const QString& resourcePath) {
    return QPixmap::fromImage(loadJpeg(resourcePath));
}

void setUpInfoWindow(QWidget& window, int clientWidth, int clientHeight) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setFixedSize(clientWidth, clientHeight);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setFont(programFont());
    window.setWindowIcon(QIcon(kProgramIcon));
    window.installEventFilter(new CentreOnShow(&window));
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
