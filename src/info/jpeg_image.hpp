#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "text/quill_error.hpp"

namespace quill {

// A picture that is missing or not a readable JPEG.
class JpegError : public QuillError {
public:
    using QuillError::QuillError;
};

// Decodes JPEG bytes into an RGB image; `name` only appears in the error text.
QImage decodeJpeg(const QByteArray& bytes, const QString& name);

// Reads a file (or a ":/" resource) and decodes it.
QImage loadJpeg(const QString& path);

}  // namespace quill
