#include "widgets/document_handler.hpp"

#include <QMimeDatabase>
#include <QProcess>

namespace quill {

namespace {

constexpr int kStartMilliseconds = 2000;
constexpr int kAnswerMilliseconds = 5000;

// The launcher file of the application for a type; nothing when no answer came.
std::optional<QString> defaultApplication(const QString& type) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForStarted(kStartMilliseconds)) return std::nullopt;
    if (!query.waitForFinished(kAnswerMilliseconds)) {
        query.kill();
        query.waitForFinished(kStartMilliseconds);
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit) return std::nullopt;
    return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
}

}  // namespace

std::optional<bool> desktopHandlesFile(const QString& path) {
    // An application may register the type under one of its older names.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    for (const QString& name : QStringList{type.name()} + type.aliases()) {
        const std::optional<QString> application = defaultApplication(name);
        if (!application) return std::nullopt;
        if (!application->isEmpty()) return true;
    }
    return false;
}

}  // namespace quill
