#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "widgets/document_handler.hpp"
#include "widgets/qt_desktop.hpp"
#include "support/environment_scope.hpp"
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


// Points the desktop's application registry at a test folder for the
// object's lifetime.
class ScopedRegistry : public test::EnvironmentScope {
public:
    explicit ScopedRegistry(const std::string& folder)
        : EnvironmentScope({{"XDG_DATA_HOME", folder + "/data"},
                            {"XDG_DATA_DIRS", folder + "/data"},
                            {"XDG_CONFIG_HOME", folder + "/config"},
                            {"XDG_CONFIG_DIRS", folder + "/config"},
                            {"XDG_CURRENT_DESKTOP", ""}}) {}
};

TEST(QtDesktopDocuments, AFileCountsAsOpenableOnlyWhenAnApplicationTakesItsType) {
    test::TempFolder folder;
    const QString help = QString::fromStdString(folder.write("Quillmaskerade.chm", "ITSF"));
    const QString page = QString::fromStdString(folder.write("index.html", "<html>"));
    // The types themselves still come from the system's database.
    std::filesystem::create_directories(folder.file("data"));
    std::filesystem::create_directory_symlink("/usr/share/mime", folder.file("data/mime"));
    const ScopedRegistry registry(folder.path());
    if (!desktopHandlesFile(page).has_value()) GTEST_SKIP() << "xdg-mime is not installed (scripts/deps installs it)";
    EXPECT_EQ(desktopHandlesFile(help), false);
    // A viewer registered under the type's older name counts as well.
    folder.write("data/applications/mimeinfo.cache",
                 "[MIME Cache]\ntext/html=browser.desktop;\napplication/x-chm=viewer.desktop;\n");
    EXPECT_EQ(desktopHandlesFile(page), true);
    EXPECT_EQ(desktopHandlesFile(help), true);
    EXPECT_FALSE(QtDesktop().shellOpen(QString::fromStdString(folder.file("missing.html"))));
}

}  // namespace
}  // namespace quill
