#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "app/qt_desktop.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

// Runs check on the modal dialog once it is open, then closes it.
void whenDialogOpens(const std::function<void(QFileDialog&)>& check, bool accept) {
    QTimer::singleShot(0, [check, accept] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        check(*dialog);
        static_cast<QDialog*>(dialog)->done(accept ? QDialog::Accepted : QDialog::Rejected);
    });
}

TEST(QtDesktopFolderBrowser, ShowsThePromptAndPreselectsTheStoredFolder) {
    test::TempFolder folder;
    folder.write("site/index.html", "x");
    const QString site = QString::fromStdString(folder.file("site"));
    const QString prompt = QString::fromUtf8("Bitte wählen Sie das Verzeichnis aus:");
    whenDialogOpens(
        [&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.labelText(QFileDialog::LookIn), prompt);
            EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
            EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
            EXPECT_TRUE(dialog.testOption(QFileDialog::ReadOnly));  // no new-folder button
            EXPECT_EQ(dialog.selectedFiles(), QStringList{site});
            const auto* nameField = dialog.findChild<QWidget*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nameField, nullptr);
            EXPECT_FALSE(nameField->isVisible());
        },
        true);
    EXPECT_EQ(QtDesktop().chooseFolder(nullptr, prompt, site), std::optional<QString>(site));
}

TEST(QtDesktopFolderBrowser, WithoutAStoredFolderStartsAtTheTopAndCancelGivesNothing) {
    whenDialogOpens([](QFileDialog& dialog) { EXPECT_EQ(dialog.directory().absolutePath(), QDir::rootPath()); },
                    false);
    EXPECT_EQ(QtDesktop().chooseFolder(nullptr, QStringLiteral("x"), QStringLiteral(" ")), std::nullopt);
}

}  // namespace
}  // namespace quill
