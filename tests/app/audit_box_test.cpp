#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>

#include "addresses/address_audit.hpp"
#include "app_test_support.hpp"
#include "settings/ini_file.hpp"
#include "support/scripted_ftp_server.hpp"

namespace quill {
namespace {

using test::control;

const std::string kHint = "Mit der Einstellung „Alle E-Mail-Adressen schützen“ werden auch diese kodiert.";

class AuditBoxTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeWorkFile("Endungen.qmk", "*.html\r\n");
    }
    void click(TMaskerade& window, const char* name) { control<QAbstractButton>(window, name).click(); }
    std::string storedOption() {
        return IniFile(workFile("Einstellungen.qmk")).readString("Quillmaskerade", "AlleAdressen", "<none>");
    }
};

TEST_F(AuditBoxTest, AfterAFolderRunTheReadableAddressesFollowAndTheOptionEncodesThem) {
    const std::string page =
        "<a href=\"mailto:a@b.de\">A</a>\r\nImpressum: info@example.de\r\n"
        "<a class=\"btn\" href=\"mailto:jobs@example.de\">Jobs</a>\r\n";
    writeWorkFile("site/index.html", page);
    const std::string path = workFile("site/index.html");
    auto window = makeWindow();
    desktop->scriptFolder(workPath("site"));
    click(*window, "Verzeichnis_suchen");
    click(*window, "Verzeichnis_kodieren");

    ASSERT_EQ(desktop->messageBoxes.size(), 2u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QString::fromUtf8("Die E-Mail-Adressen wurden erfolgreich kodiert!"));
    EXPECT_EQ(desktop->messageBoxes[1].kind, MessageKind::Error);
    EXPECT_EQ(desktop->messageBoxes[1].text,
              test::fromUtf8("Nach dem Kodieren sind noch 2 E-Mail-Adressen lesbar:\r\n" + path +
                             ":2: info@example.de\r\n" + path + ":3: jobs@example.de\r\n" + kHint));

    click(*window, "Alle_ja");
    EXPECT_EQ(storedOption(), "Ja");
    click(*window, "Verzeichnis_kodieren");
    ASSERT_EQ(desktop->messageBoxes.size(), 3u);  // nothing left to report
    EXPECT_TRUE(auditText(readWorkFile("site/index.html"), path).empty());
}

TEST_F(AuditBoxTest, AfterARemoteRunTheBoxNamesTheServerFileAndNothingIsUploaded) {
    writeWorkFile("Einstellungen.qmk", "[FTP-Daten]\r\nServer=127.0.0.1\r\nUsername=anna\r\nPasswort=geheim\r\n");
    auto window = makeWindow();
    test::ScriptedFtpServer server;
    window->setServerPort(server.port());
    server.once("NLST", test::transferOut("index.html\r\n"));
    server.once("RETR", test::transferOut("<p>Impressum: info@example.de</p>\r\n"));
    click(*window, "FTP_Go");

    EXPECT_TRUE(desktop->errorBoxes.empty());
    ASSERT_EQ(desktop->messageBoxes.size(), 2u);
    EXPECT_EQ(desktop->messageBoxes[0].text,
              QString::fromUtf8("Es wurden keine unkodierten E-Mail-Adressen gefunden!"));
    EXPECT_EQ(desktop->messageBoxes[1].kind, MessageKind::Error);
    EXPECT_EQ(desktop->messageBoxes[1].text,
              test::fromUtf8("Nach dem Kodieren sind noch 1 E-Mail-Adressen lesbar:\r\nindex.html:1: "
                             "info@example.de\r\n" +
                             kHint));
    EXPECT_TRUE(server.uploads().empty());
}

TEST_F(AuditBoxTest, TheOptionIsReadAtStartAndWrittenAtEveryClick) {
    for (const auto& [stored, ticked] : {std::pair{"Ja", true}, {"ja", false}, {"Nein", false}}) {
        writeWorkFile("Einstellungen.qmk", std::string("[Quillmaskerade]\r\nAlleAdressen=") + stored + "\r\n");
        auto window = makeWindow();
        auto& box = control<QCheckBox>(*window, "Alle_ja");
        EXPECT_EQ(box.isChecked(), ticked) << stored;
        EXPECT_EQ(storedOption(), stored);  // the start writes nothing
        click(*window, "Alle_ja");
        EXPECT_EQ(storedOption(), ticked ? "Nein" : "Ja");
        click(*window, "Alle_ja");
        EXPECT_EQ(storedOption(), ticked ? "Ja" : "Nein");
    }
}

}  // namespace
}  // namespace quill
