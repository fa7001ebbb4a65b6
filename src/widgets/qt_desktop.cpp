#include "widgets/qt_desktop.hpp"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "widgets/document_handler.hpp"
#include "widgets/error_box.hpp"
#include "widgets/message_box.hpp"

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
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    // "Nein" is the safe answer, so it is the default and Escape gives it.
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool QtDesktop::shellOpen(const QString& target) {
    if (target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:")))
        return QDesktopServices::openUrl(QUrl(target));
    // The opener starts in the background and reports no missing application,
    // so that is asked first.
    if (!QFileInfo::exists(target) || desktopHandlesFile(target) == false) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(target));
}

}  // namespace quill
