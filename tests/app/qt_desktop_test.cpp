#include "widgets/qt_desktop.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "support/environment_scope.hpp"
#include "support/temp_folder.hpp"
#include "widgets/desktop_opener.hpp"
#include "widgets/document_handler.hpp"

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
    whenDialogOpens([](QFileDialog& dialog) { EXPECT_EQ(dialog.directory().absolutePath(), QDir::rootPath()); }, false);
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
    const OpenResult missing = QtDesktop().shellOpen(QString::fromStdString(folder.file("missing.html")));
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.reason, QStringLiteral("Die Datei existiert nicht"));
}

// Stand-ins for the desktop's opener: each leaves the target it got in a file.
struct OpenerCase {
    const char* name;
    const char* behaviour;  // shell lines after the target is noted
    bool opened;
    const char* reason;
};

class DesktopOpenerTest : public ::testing::TestWithParam<OpenerCase> {};

TEST_P(DesktopOpenerTest, TellsAnOpenerThatGaveUpFromOneThatOpenedOrKeepsRunning) {
    test::TempFolder folder;
    const std::string opener = folder.write(
        "opener", std::string("#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/target\"\n") + GetParam().behaviour);
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const QString target = QStringLiteral("/tmp/Ordner mit Leerzeichen/SpamSchutz.html");
    const OpenResult result = runDesktopOpener(target, QString::fromStdString(opener));
    EXPECT_EQ(result.opened, GetParam().opened);
    EXPECT_EQ(result.reason, QString::fromUtf8(GetParam().reason));
    EXPECT_EQ(QString::fromStdString(folder.read("target")), target);
}

INSTANTIATE_TEST_SUITE_P(
    Openers, DesktopOpenerTest,
    ::testing::Values(
        OpenerCase{"opens", "exit 0\n", true, ""},
        OpenerCase{"noMethod", "echo \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n", false,
                   "Kein Programm zum Öffnen gefunden (xdg-open: no method available for opening '/tmp/Ordner mit "
                   "Leerzeichen/SpamSchutz.html')"},
        OpenerCase{"silentFailure", "exit 4\n", false, "Das Öffnen ist fehlgeschlagen"},
        OpenerCase{"waitsForTheViewer", "exec sleep 4\n", true, ""}),
    [](const ::testing::TestParamInfo<OpenerCase>& info) { return info.param.name; });

TEST(DesktopOpener, AnOpenerThatCannotStartIsNamed) {
    test::TempFolder folder;
    const QString missing = QString::fromStdString(folder.file("no-opener"));
    const OpenResult result = runDesktopOpener(QStringLiteral("/x"), missing);
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(result.reason, QStringLiteral("Der Öffner %1 lässt sich nicht starten").arg(missing));
}

}  // namespace
}  // namespace quill
