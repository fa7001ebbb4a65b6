#include "app/qt_text.hpp"

#include "text/cp1252.hpp"

namespace quill {

std::string toCp1252(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString fromCp1252(std::string_view text) {
    const std::string utf8 = cp1252ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::u32string toCodePoints(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCodePoints(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace quill
