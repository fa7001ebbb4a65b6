#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QListWidget>
#include <filesystem>

#include "app_test_support.hpp"
#include "settings/ini_file.hpp"

namespace quill {
namespace {

using test::control;

const std::string kLink = "<a href=\"mailto:a@b.de\">A</a>";
const std::string kLinkEncoded = "<a href=\"&#109&#97&#105&#108&#116&#111&#58&#97&#64&#98&#46&#100&#101\">&#65</a>";

class FolderPageTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeWorkFile("Endungen.qmk", "*.htm\r\n*.txt\r\n");
        writeWorkFile("site/index.html", kLink);
        writeWorkFile("site/.versteckt.htm", "mailto:");
        writeWorkFile("site/notiz.txt", "Kein Link");
        writeWorkFile("site/bild.png", kLink);
        writeWorkFile("site/unter/seite.htm", "<A HREF=\"mailto:c@d.de\">C</A>");
        writeWorkFile("site/.git/config.htm", kLink);
        window = makeWindow();
    }

    QStringList items(const char* listName) {
        QStringList texts;
        auto& list = control<QListWidget>(*window, listName);
        for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
        return texts;
    }
    void click(const char* name) { control<QAbstractButton>(*window, name).click(); }
    std::string storedFolder() {
        return IniFile(workFile("Einstellungen.qmk")).readString("Quillmaskerade", "Verzeichnis", "<none>");
    }

    std::unique_ptr<TMaskerade> window;
};

TEST_F(FolderPageTest, ChoosingAFolderListsEveryMaskInTurnAndStoresTheFolder) {
    const QString site = workPath("site");
    writeWorkFile("Einstellungen.qmk", "[Quillmaskerade]\r\nVerzeichnis=" + work().file("site") + "\r\n");
    desktop->scriptFolder(site);
    click("Verzeichnis_suchen");

    ASSERT_EQ(desktop->folderDialogs.size(), 1u);
    EXPECT_EQ(desktop->folderDialogs[0].prompt, QString::fromUtf8("Bitte wählen Sie das Verzeichnis aus:"));
    EXPECT_EQ(desktop->folderDialogs[0].preselected, site);
    EXPECT_EQ(items("Dateien_gefunden"), (QStringList{site + "/.versteckt.htm", site + "/index.html",
                                                      site + "/unter/seite.htm", site + "/notiz.txt"}));
    EXPECT_TRUE(items("EMail_gefunden").isEmpty());
    EXPECT_EQ(storedFolder(), work().file("site"));
    EXPECT_TRUE(desktop->messageBoxes.empty());

    control<QCheckBox>(*window, "Unterverz").setChecked(false);
    desktop->scriptFolder(site);
    click("Verzeichnis_suchen");
    EXPECT_EQ(items("Dateien_gefunden"),
              (QStringList{site + "/.versteckt.htm", site + "/index.html", site + "/notiz.txt"}));
}

TEST_F(FolderPageTest, CancellingStoresABlankAndListsNothing) {
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");
    click("Verzeichnis_suchen");  // unscripted: cancelled
    EXPECT_TRUE(items("Dateien_gefunden").isEmpty());
    EXPECT_EQ(readWorkFile("Einstellungen.qmk"), "[Quillmaskerade]\r\nVerzeichnis= \r\n");
    click("Verzeichnis_suchen");
    EXPECT_EQ(desktop->folderDialogs.back().preselected, QString());
}

TEST_F(FolderPageTest, ASettingsFileThatCannotBeWrittenLeavesBothListsEmptyAndSearchesNothing) {
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");
    click("Verzeichnis_kodieren");
    ASSERT_FALSE(items("EMail_gefunden").isEmpty());

    std::filesystem::remove(workFile("Einstellungen.qmk"));
    std::filesystem::create_directory(workFile("Einstellungen.qmk"));
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");

    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].text, QStringLiteral("In ") + workPath("Einstellungen.qmk") +
                                               QStringLiteral(" kann nicht geschrieben werden."));
    EXPECT_EQ(desktop->folderDialogs.size(), 2u);
    EXPECT_TRUE(items("Dateien_gefunden").isEmpty());
    EXPECT_TRUE(items("EMail_gefunden").isEmpty());
}

TEST_F(FolderPageTest, EncodingTheFolderRewritesEveryListedFileAndReports) {
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");
    click("Verzeichnis_kodieren");

    EXPECT_EQ(items("EMail_gefunden"), (QStringList{"a@b.de\">A", "c@d.de\">C"}));
    EXPECT_EQ(readWorkFile("site/index.html"), kLinkEncoded);
    EXPECT_EQ(readWorkFile("site/.versteckt.htm"), "&#109&#97&#105&#108&#116&#111&#58");
    EXPECT_EQ(readWorkFile("site/bild.png"), kLink);
    EXPECT_EQ(readWorkFile("site/.git/config.htm"), kLink);
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QString::fromUtf8("Die E-Mail-Adressen wurden erfolgreich kodiert!"));
    EXPECT_EQ(desktop->messageBoxes[0].kind, MessageKind::Information);

    // Pressed again: nothing new is found, the old entries still count.
    click("Verzeichnis_kodieren");
    EXPECT_EQ(items("EMail_gefunden").size(), 2);
    EXPECT_EQ(desktop->messageBoxes.back().kind, MessageKind::Information);

    // A fresh choice over encoded files finds nothing.
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");
    click("Verzeichnis_kodieren");
    EXPECT_EQ(desktop->messageBoxes.back().text,
              QString::fromUtf8("Es wurden keine unkodierten E-Mail-Adressen gefunden!"));
    EXPECT_EQ(desktop->messageBoxes.back().kind, MessageKind::Error);
}

TEST_F(FolderPageTest, ChosenFilesAreAppendedAndOnlyTheyAreRewrittenWithEarlierFinds) {
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");
    click("Verzeichnis_kodieren");
    writeWorkFile("neu.html", "Schreiben an a@b.de\">A und MAILTO:");
    writeWorkFile("site/index.html", kLink);
    desktop->scriptFiles({workPath("neu.html")});
    click("Datei_kodieren");

    EXPECT_EQ(items("Dateien_gefunden").size(), 5);
    EXPECT_EQ(items("Dateien_gefunden").last(), workPath("neu.html"));
    EXPECT_EQ(readWorkFile("neu.html"),
              "Schreiben an &#97&#64&#98&#46&#100&#101\">&#65 und &#77&#65&#73&#76&#84&#79&#58");
    EXPECT_EQ(readWorkFile("site/index.html"), kLink);
    EXPECT_EQ(desktop->messageBoxes.back().kind, MessageKind::Information);

    desktop->scriptFiles({});
    click("Datei_kodieren");  // cancelled: nothing happens
    EXPECT_EQ(desktop->messageBoxes.size(), 2u);
}

TEST_F(FolderPageTest, FoundTextsAreShownInTheEncodingOfTheirPage) {
    writeWorkFile("utf8.html", "<a href=\"mailto:j\xc3\xbc@x.de\">\xe2\x80\x93</a>");
    writeWorkFile("cp1252.html", "<a href=\"mailto:m\xfc@x.de\">\x96</a>");
    desktop->scriptFiles({workPath("utf8.html"), workPath("cp1252.html")});
    click("Datei_kodieren");
    const QStringList expected = {QString::fromUtf8("jü@x.de\">–"), QString::fromUtf8("mü@x.de\">–")};
    EXPECT_EQ(items("EMail_gefunden"), expected);
}

TEST_F(FolderPageTest, AVanishedFileEndsTheRunInTheErrorBoxAndKeepsTheLists) {
    desktop->scriptFolder(workPath("site"));
    click("Verzeichnis_suchen");
    std::filesystem::remove(workFile("site/.versteckt.htm"));
    click("Verzeichnis_kodieren");

    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].text,
              QString::fromStdString("Datei " + workFile("site/.versteckt.htm") +
                                     " kann nicht geöffnet werden. Das System kann die angegebene Datei nicht "
                                     "finden."));
    EXPECT_TRUE(desktop->messageBoxes.empty());
    EXPECT_EQ(items("Dateien_gefunden").size(), 4);
    EXPECT_EQ(items("EMail_gefunden").size(), 2);
}

}  // namespace
}  // namespace quill
