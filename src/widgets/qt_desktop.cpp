#include "widgets/qt_desktop.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "widgets/desktop_opener.hpp"
#include "widgets/document_handler.hpp"
#include "widgets/error_box.hpp"
#include "widgets/message_box.hpp"
#include "widgets/question_box.hpp"

namespace quill {

void QtDesktop::showMessageBox(QWidget* parent, const QString& text, MessageKind kind) {
    MessageBoxDialog box(parent, text, kind);
    box.exec();
}

void QtDesktop::showListMessageBox(QWidget* parent, const QString& text, MessageKind kind, const QString& fullList) {
    MessageBoxDialog box(parent, text, kind, fullList);
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
    // Folders only, no new-folder button; the prompt stands above the tree,
    // which starts at the top of the file system unless a stored folder exists.
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    // A folder is chosen in the tree alone, without a name field.
    for (const char* name : {"fileNameEdit", "fileNameLabel", "fileTypeCombo", "fileTypeLabel"}) {
        if (QWidget* part = dialog.findChild<QWidget*>(QLatin1String(name))) part->hide();
    }
    const QDir stored(preselected);
    if (!preselected.trimmed().isEmpty() && stored.exists()) {
        QDir above = stored;
        above.cdUp();
        dialog.setDirectory(above);
        dialog.selectFile(stored.absolutePath());
    } else {
        dialog.setDirectory(QDir::rootPath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::cleanPath(dialog.selectedFiles().front());
}

bool QtDesktop::askQuestion(QWidget* parent, const QString& caption, const QString& text) {
    QuestionBox box(parent, caption, text);
    box.exec();
    return box.answeredYes();
}

OpenResult QtDesktop::shellOpen(const QString& target) {
    const bool address = target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:"));
    if (!address) {
        if (!QFileInfo::exists(target)) return {false, QStringLiteral("Die Datei existiert nicht")};
        // Some openers hand a file without an application to a fallback
        // that shows nothing, so that is asked first.
        if (desktopHandlesFile(target) == false)
            return {false, QStringLiteral("Für diesen Dateityp ist kein Programm eingerichtet")};
    }
    return runDesktopOpener(target);
}

}  // namespace quill
