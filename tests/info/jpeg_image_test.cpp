#include "info/jpeg_image.hpp"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <cstdlib>

#include "info/info_look.hpp"

namespace quill {
namespace {

QByteArray resourceBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

struct ShippedPicture {
    const char* label;
    QString path;
    QSize size;
};

class ShippedPictureTest : public ::testing::TestWithParam<ShippedPicture> {};

// Decoded pixels must match Qt's own JPEG reader to within rounding, which
// catches a wrong row stride or swapped colour channels.
TEST_P(ShippedPictureTest, DecodesToItsSizeAndPixels) {
    const ShippedPicture& picture = GetParam();
    const QByteArray bytes = resourceBytes(picture.path);
    const QImage decoded = decodeJpeg(bytes, picture.path);
    ASSERT_EQ(decoded.size(), picture.size);

    const QImage reference = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(reference.size(), picture.size);
    int worst = 0;
    for (int y = 0; y < decoded.height(); ++y) {
        for (int x = 0; x < decoded.width(); ++x) {
            const QRgb a = decoded.pixel(x, y);
            const QRgb b = reference.pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    }
    EXPECT_LE(worst, 3);
}

INSTANTIATE_TEST_SUITE_P(Resources, ShippedPictureTest,
                         ::testing::Values(ShippedPicture{"Title", kTitlePicture, {307, 174}},
                                           ShippedPicture{"Portrait", kPortraitPicture, {150, 188}},
                                           ShippedPicture{"Thanks", kThanksPicture, {150, 188}}),
                         [](const ::testing::TestParamInfo<ShippedPicture>& info) { return info.param.label; });

struct BrokenInput {
    const char* label;
    QByteArray bytes;
};

QByteArray truncatedTitle() {
    QByteArray bytes = resourceBytes(kTitlePicture);
    bytes.truncate(bytes.size() / 2);
    return bytes;
}

QByteArray titleWithoutHuffmanTables() {
    // Blanking the DHT marker leaves a stream the decoder cannot read.
    QByteArray bytes = resourceBytes(kTitlePicture);
    const qsizetype at = bytes.indexOf(QByteArray("\xFF\xC4", 2));
    if (at >= 0) bytes[at + 1] = '\x01';
    return bytes;
}

TEST(JpegDecodingTest, BrokenDataGivesAClearError) {
    const BrokenInput inputs[] = {
        {"empty", QByteArray()},
        {"text", QByteArray("Dies ist kein Bild.")},
        {"png", resourceBytes(kProgramIcon)},
        {"truncated", truncatedTitle()},
        {"no tables", titleWithoutHuffmanTables()},
        {"header only", resourceBytes(kTitlePicture).left(2)},
    };
    for (const BrokenInput& input : inputs) {
        SCOPED_TRACE(input.label);
        try {
            decodeJpeg(input.bytes, QStringLiteral("kaputt.jpg"));
            ADD_FAILURE() << "no error";
        } catch (const JpegError& error) {
            const std::string text = error.what();
            EXPECT_EQ(text.rfind("Das Bild \"kaputt.jpg\" kann nicht gelesen werden: ", 0), 0u) << text;
            EXPECT_GT(text.size(), std::string("Das Bild \"kaputt.jpg\" kann nicht gelesen werden: ").size());
        }
    }
}

TEST(JpegDecodingTest, MissingFileNamesThePath) {
    try {
        loadJpeg(QStringLiteral(":/gibt-es-nicht.jpg"));
        ADD_FAILURE() << "no error";
    } catch (const JpegError& error) {
        EXPECT_STREQ(
            error.what(),
            "Das Bild \":/gibt-es-nicht.jpg\" kann nicht gelesen werden: Die Datei kann nicht geöffnet werden.");
    }
}

}  // namespace
}  // namespace quill
