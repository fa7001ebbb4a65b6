#include "info/jpeg_image.hpp"

#include <turbojpeg.h>

#include <QFile>
#include <memory>

namespace quill {

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using DecompressHandle = std::unique_ptr<void, HandleCloser>;

[[noreturn]] void fail(const QString& name, const QString& reason) {
    throw JpegError(QStringLiteral("Das Bild \"%1\" kann nicht gelesen werden: %2").arg(name, reason).toStdString());
}

}  // namespace

QImage decodeJpeg(const QByteArray& bytes, const QString& name) {
    if (bytes.isEmpty()) fail(name, QStringLiteral("Die Datei ist leer."));

    DecompressHandle handle(tjInitDecompress());
    if (!handle) fail(name, QString::fromUtf8(tjGetErrorStr2(nullptr)));

    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) != 0)
        fail(name, QString::fromUtf8(tjGetErrorStr2(handle.get())));

    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) fail(name, QStringLiteral("Das Bild ist zu groß (%1 × %2).").arg(width).arg(height));

    // Warnings such as a cut-off file count as failures too: a half-grey
    // picture is no better than none.
    if (tjDecompress2(handle.get(), data, size, image.bits(), width, static_cast<int>(image.bytesPerLine()), height,
                      TJPF_RGB, TJFLAG_ACCURATEDCT) != 0)
        fail(name, QString::fromUtf8(tjGetErrorStr2(handle.get())));
    return image;
}

QImage loadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(path, QStringLiteral("Die Datei kann nicht geöffnet werden."));
    return decodeJpeg(file.readAll(), path);
}

}  // namespace quill
