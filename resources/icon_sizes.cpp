// Writes the program icon at the sizes of the desktop's icon theme:
//   icon_sizes <picture> <theme folder> <icon name> <size>...
// Each size goes to <theme folder>/<size>x<size>/apps/<icon name>.png.
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s picture theme-folder icon-name size...\n", argv[0]);
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const QString theme = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        // Whole multiples keep the pixels crisp; other sizes are smoothed.
        const bool whole = size >= picture.width() && size % picture.width() == 0;
        const QImage icon = picture.scaled(size, size, Qt::IgnoreAspectRatio,
                                           whole ? Qt::FastTransformation : Qt::SmoothTransformation);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
        if (!QDir().mkpath(folder) || !icon.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "%s: cannot write the %dx%d icon\n", argv[0], size, size);
            return 1;
        }
    }
    return 0;
}
