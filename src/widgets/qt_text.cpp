#include "widgets/qt_text.hpp"

#include "settings/ini_file.hpp"
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

bool fitsCp1252(const QString& text) {
    return fromCp1252(toCp1252(text)) == text;
}

namespace {
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
}  // namespace

std::string toSettingsText(const QString& text) {
    if (fitsCp1252(text)) return toCp1252(text);
    const QByteArray utf8 = text.toUtf8();
    return std::string(kUtf8Mark) + std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString fromSettingsText(std::string_view stored) {
    if (stored.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        // The file trimmed the value in front of the mark, not behind it.
        const std::string utf8 = profileValue(stored.substr(kUtf8Mark.size()));
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        if (!text.contains(QChar::ReplacementCharacter)) return text;
    }
    return fromCp1252(stored);
}

QString displayText(std::string_view bytes) {
    const QString utf8 = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return utf8.contains(QChar::ReplacementCharacter) ? fromCp1252(bytes) : utf8;
}

std::u32string toCodePoints(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCodePoints(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace quill
