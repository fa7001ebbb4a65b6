#include "app/qt_desktop.hpp"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace quill {

// Placeholder bodies; the message box and error box get their own windows.
void QtDesktop::showMessageBox(QWidget* parent, const QString& text, MessageKind kind) {
    if (kind == MessageKind::Information)
        QMessageBox::information(parent, QStringLiteral("Informationen"), text);
    else
        QMessageBox::critical(parent, QStringLiteral("Fehler"), text);
}

void QtDesktop::showErrorBox(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox::critical(owner, caption, text);
}

QStringList QtDesktop::chooseFiles(QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent);
}

std::optional<QString> QtDesktop::chooseFolder(QWidget* parent, const QString& prompt, const QString& preselected) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, prompt, QDir(preselected).exists() ? preselected : QString());
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
