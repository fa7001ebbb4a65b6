#include "app/qt_desktop.hpp"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

#include "app/error_box.hpp"
#include "app/message_box.hpp"

namespace quill {

void QtDesktop::showMessageBox(QWidget* parent, const QString& text, MessageKind kind) {
    MessageBoxDialog box(parent, text, kind);
    box.exec();
}

void QtDesktop::showErrorBox(QWidget* owner, const QString& caption, const QString& text) {
    ErrorBox box(owner, caption, text);
    box.exec();
}

QStringList QtDesktop::chooseFiles(QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent);
}

std::optional<QString> QtDesktop::chooseFolder(QWidget* parent, const QString& prompt, const QString& preselected) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent, prompt, QDir(preselected).exists() ? preselected : QString());
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

void QtDesktop::shellOpen(const QString& target) {
    const QUrl url = target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:"))
                         ? QUrl(target)
                         : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}

}  // namespace quill
