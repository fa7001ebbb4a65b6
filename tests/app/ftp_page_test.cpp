#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <iterator>

#include "app_test_support.hpp"
#include "net/tls_errors.hpp"
#include "support/scripted_ftp_server.hpp"
#include "support/test_certificate.hpp"

namespace quill {
namespace {

using test::control;
using test::replyLine;
using test::transferOut;

class FtpPageTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeRemoteRunFiles();
        window = makeWindow();
        control<QLineEdit>(*window, "FTPDir").setText(QStringLiteral("\\htdocs\\web"));
    }

    QStringList fileBox() {
        QStringList texts;
        auto& list = control<QListWidget>(*window, "FileBox");
        for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
        return texts;
    }
    void start() { control<QAbstractButton>(*window, "FTP_Go").click(); }

    std::unique_ptr<TMaskerade> window;
};

TEST_F(FtpPageTest, EmptyUserFieldGivesTheMessageAndChangesNothing) {
    control<QLineEdit>(*window, "User").clear();
    start();
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text,
              QString::fromUtf8("Bitte füllen Sie die Felder FTP-Server, Benutzername und Passwort aus!"));
    EXPECT_EQ(desktop->messageBoxes[0].kind, MessageKind::Error);
    EXPECT_EQ(control<QLineEdit>(*window, "FTPDir").text(), QStringLiteral("\\htdocs\\web"));
    EXPECT_EQ(readWorkFile("Einstellungen.qmk"),
              "[FTP-Daten]\r\nServer=127.0.0.1\r\nUsername=anna\r\nPasswort=geheim\r\n");
}

TEST_F(FtpPageTest, ARunShowsItsNamesAndFolderAndEmptiesTheLists) {
    test::ScriptedFtpServer server;
    window->setServerPort(server.port());
    control<QCheckBox>(*window, "Passiv").setChecked(true);
    server.once("NLST", transferOut("index.html\r\n"));
    server.once("RETR", transferOut("<a href=\"mailto:a@b.de\">A</a>"));
    start();

    EXPECT_TRUE(desktop->errorBoxes.empty());
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QString::fromUtf8("Die E-Mail-Adressen wurden erfolgreich kodiert!"));
    EXPECT_EQ(fileBox(), QStringList{"index.html"});
    EXPECT_EQ(control<QLineEdit>(*window, "FTPDir").text(), QStringLiteral("/htdocs/web"));
    EXPECT_EQ(control<QListWidget>(*window, "EMail_gefunden").count(), 0);
    EXPECT_EQ(control<QListWidget>(*window, "Dateien_gefunden").count(), 0);
    EXPECT_EQ(server.uploads().size(), 1u);
    EXPECT_EQ(readWorkFile("Einstellungen.qmk"),
              "[FTP-Daten]\r\nServer=127.0.0.1\r\nUsername=anna\r\nPasswort=geheim\r\nVerzeichnis=\\htdocs\\web\r\n"
              "Passiv=Ja\r\nTLS=Nein\r\nUnterordner=Nein\r\n");
}

TEST_F(FtpPageTest, ARunWithSubfoldersShowsPathsAndTheFoldersItSearched) {
    test::ScriptedFtpServer server;
    window->setServerPort(server.port());
    control<QCheckBox>(*window, "Passiv").setChecked(true);
    auto& box = control<QCheckBox>(*window, "FTP_Unterordner");
    box.click();
    EXPECT_TRUE(control<QLabel>(*window, "Label1")
                    .text()
                    .contains(QString::fromUtf8("\r\nUnterverzeichnisse werden ebenfalls berücksichtigt.\r\n")));
    server.always("FEAT", {test::sendRaw("211-Features:\r\n MLST type*;size*;\r\n211 End\r\n")});
    server.always("PWD", {replyLine("257 \"/htdocs/web\"")});
    server.once("MLSD", transferOut("type=dir; team\r\ntype=file;size=30; index.html\r\n"));
    server.once("MLSD", transferOut("type=file;size=30; anna.html\r\n"));
    server.putFile("index.html", "<a href=\"mailto:a@b.de\">A</a>");
    server.putFile("anna.html", "<a href=\"mailto:c@d.de\">C</a>");
    start();

    EXPECT_TRUE(desktop->errorBoxes.empty());
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text,
              QString::fromUtf8("Die E-Mail-Adressen wurden erfolgreich kodiert!\r\n2 Ordner durchsucht."));
    EXPECT_EQ(fileBox(), (QStringList{"index.html", "team/anna.html"}));
    // Each page goes back into its own folder.
    const auto commands = server.commands();
    const auto storeAnna = std::find_if(commands.begin(), commands.end(),
                                        [](const std::string& command) { return command == "RNTO anna.html"; });
    ASSERT_NE(storeAnna, commands.end());
    EXPECT_EQ(*std::find_if(std::make_reverse_iterator(storeAnna), commands.rend(),
                            [](const std::string& command) { return command.rfind("CWD ", 0) == 0; }),
              "CWD /htdocs/web/team");
    EXPECT_NE(readWorkFile("Einstellungen.qmk").find("TLS=Nein\r\nUnterordner=Ja\r\n"), std::string::npos);

    box.click();
    EXPECT_TRUE(control<QLabel>(*window, "Label1")
                    .text()
                    .contains(QString::fromUtf8("\r\nUnterverzeichnisse werden nicht berücksichtigt.\r\n")));
}

TEST_F(FtpPageTest, AFailedRunShowsTheServerTextAndKeepsWhatItListed) {
    test::ScriptedFtpServer server;
    window->setServerPort(server.port());
    server.once("NLST", transferOut("a.html\r\n"));
    server.always("RETR", {replyLine("550 Datei gesperrt")});
    start();

    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].text, QStringLiteral("Datei gesperrt\r\n"));
    EXPECT_TRUE(desktop->messageBoxes.empty());
    EXPECT_EQ(fileBox(), QStringList{"a.html"});
    EXPECT_EQ(control<QLineEdit>(*window, "FTPDir").text(), QStringLiteral("/htdocs/web"));
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
}

TEST_F(FtpPageTest, ServerNamesInTheCodePageShowReadablyInBothLists) {
    test::ScriptedFtpServer server;
    window->setServerPort(server.port());
    server.once("NLST", transferOut("m\xE4rz.html\r\n"));
    server.once("RETR", transferOut("<a href=\"mailto:a@b.de\">A</a>"));
    server.always("STOR", {replyLine("553 Nicht erlaubt")});  // the temporary name and the page
    start();

    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(fileBox(), QStringList{QString::fromUtf8("märz.html")});
    auto& found = control<QListWidget>(*window, "Dateien_gefunden");
    ASSERT_EQ(found.count(), 1);
    EXPECT_EQ(found.item(0)->text(), workPath("FTP-Inhalt") + QString::fromUtf8("/märz.html"));
}

TEST_F(FtpPageTest, AnEncryptedRunPutsAnUnknownCertificateToTheUserAndStopsAtNein) {
    test::ScriptedFtpServer server;
    const test::TestCertificate certificate;
    server.setCertificate(certificate);
    server.always("AUTH", {replyLine("234 Los"), test::startTls()});
    window->setServerPort(server.port());
    control<QCheckBox>(*window, "TLS_ja").setChecked(true);
    desktop->scriptQuestion(false);
    start();

    ASSERT_EQ(desktop->questions.size(), 1u);
    EXPECT_EQ(desktop->questions[0].caption, QStringLiteral("test_app"));
    EXPECT_TRUE(desktop->questions[0].onWindowThread);
    const QString question = desktop->questions[0].text;
    EXPECT_TRUE(question.endsWith(QStringLiteral("Diesem Zertifikat trotzdem vertrauen?"))) << question.toStdString();
    EXPECT_TRUE(question.contains(
        QString::fromStdString(certificate.fingerprint().substr(0, 2) + ":" + certificate.fingerprint().substr(2, 2))));
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].text, QString::fromUtf8(ftp::ECertificateRejected().what()));
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_EQ(server.commands(), std::vector<std::string>{"AUTH TLS"});
    EXPECT_NE(readWorkFile("Einstellungen.qmk").find("Passiv=Nein\r\nTLS=Ja\r\n"), std::string::npos);
    EXPECT_EQ(readWorkFile("Einstellungen.qmk").find("FTP-Zertifikate"), std::string::npos);
}

// SFTP has no data-connection mode and no FTPS: the boxes rest while the
// field names it, whatever its letter case, and keep their ticks for FTP.
TEST_F(FtpPageTest, AnSftpServerRestsTheFtpOnlyBoxesAndKeepsTheirTicks) {
    auto& passive = control<QCheckBox>(*window, "Passiv");
    auto& tls = control<QCheckBox>(*window, "TLS_ja");
    auto& host = control<QLineEdit>(*window, "Host");
    passive.setChecked(true);
    for (const auto& [typed, sftp] : std::vector<std::pair<QString, bool>>{{"sftp://web.example.org", true},
                                                                           {"ftp://web.example.org:2121", false},
                                                                           {"SFTP://web.example.org:2222", true},
                                                                           {"web.example.org", false}}) {
        host.setText(typed);
        EXPECT_EQ(passive.isEnabled(), !sftp) << typed.toStdString();
        EXPECT_EQ(tls.isEnabled(), !sftp) << typed.toStdString();
        EXPECT_TRUE(passive.isChecked());
        EXPECT_FALSE(tls.isChecked());
    }
    // As stored: a window that starts with an SFTP server starts with the boxes resting.
    writeWorkFile("Einstellungen.qmk", "[FTP-Daten]\r\nServer=sftp://h\r\nPassiv=Ja\r\nTLS=Ja\r\n");
    const auto restarted = makeWindow();
    EXPECT_FALSE(control<QCheckBox>(*restarted, "Passiv").isEnabled());
    EXPECT_TRUE(control<QCheckBox>(*restarted, "Passiv").isChecked());
    EXPECT_TRUE(control<QCheckBox>(*restarted, "TLS_ja").isChecked());
}

}  // namespace
}  // namespace quill
