// Draws the program icon at the sizes of the desktop's icon theme, from one
// vector drawing, on a transparent ground:
//   icon_sizes <theme folder> <icon name> <size>...
// Each size goes to <theme folder>/<size>x<size>/apps/<icon name>.png.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const QColor kInk(0, 60, 115);
const QColor kPaper(255, 248, 231);
const QColor kMask(122, 46, 140);
const QColor kGold(231, 150, 0);

// Strokes keep at least a pixel and a half, so the small sizes stay legible.
QPen pen(const QColor& colour, double width, double scale) {
    QPen stroke(colour, std::max(width, 1.5 / scale));
    stroke.setJoinStyle(Qt::RoundJoin);
    stroke.setCapStyle(Qt::RoundCap);
    return stroke;
}

// A letter behind a carnival mask, in a square of 256 units.
void drawIcon(QPainter& painter, double scale) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    painter.setPen(pen(kInk, 10, scale));
    painter.setBrush(kPaper);
    painter.drawRoundedRect(QRectF(20, 52, 216, 152), 18, 18);
    QPainterPath flap;
    flap.moveTo(26, 62);
    flap.lineTo(128, 134);
    flap.lineTo(230, 62);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);

    QPainterPath mask;
    mask.moveTo(36, 150);
    mask.cubicTo(60, 122, 104, 130, 128, 146);
    mask.cubicTo(152, 130, 196, 122, 220, 150);
    mask.cubicTo(224, 196, 184, 224, 150, 210);
    mask.cubicTo(140, 206, 134, 196, 128, 196);
    mask.cubicTo(122, 196, 116, 206, 106, 210);
    mask.cubicTo(72, 224, 32, 196, 36, 150);
    QPainterPath eyes;
    eyes.addEllipse(QRectF(66, 156, 44, 26));
    eyes.addEllipse(QRectF(146, 156, 44, 26));
    painter.setPen(pen(kGold, 6, scale));
    painter.setBrush(kMask);
    painter.drawPath(mask.subtracted(eyes));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s theme-folder icon-name size...\n", argv[0]);
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        {
            QPainter painter(&icon);
            drawIcon(painter, size / 256.0);
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !icon.convertToFormat(QImage::Format_ARGB32)
                 .save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "%s: cannot write the %dx%d icon\n", argv[0], size, size);
            return 1;
        }
    }
    return 0;
}
