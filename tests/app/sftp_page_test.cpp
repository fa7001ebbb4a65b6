#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>

#include "app_test_support.hpp"
#include "support/environment_scope.hpp"
#include "support/scripted_sftp_server.hpp"

namespace quill {
namespace {

using test::control;

const std::string kPage = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";

// The page "FTP-Zugriff" with "sftp://" in its server field, against a
// scripted SFTP server whose host key nobody knows yet.
class SftpPageTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeRemoteRunFiles();
        server.root().write("index.html", kPage);
        window = makeWindow();
        control<QLineEdit>(*window, "Host")
            .setText(QString::fromStdString("sftp://127.0.0.1:" + std::to_string(server.port())));
        control<QLineEdit>(*window, "FTPDir").clear();
    }
    void start() { control<QAbstractButton>(*window, "FTP_Go").click(); }

    test::ScriptedSftpServer server{test::ScriptedSftpServer::Behaviour::Normal};
    test::TempFolder home;
    test::EnvironmentScope environment{{"HOME", home.path()}, {"SSH_AUTH_SOCK", std::nullopt}};
    std::unique_ptr<TMaskerade> window;
};

TEST_F(SftpPageTest, AnUnknownKeyIsAskedAboutOnceWithItsTypeAndFingerprint) {
    desktop->scriptQuestion(true);
    start();

    ASSERT_EQ(desktop->questions.size(), 1u);
    EXPECT_TRUE(desktop->questions[0].onWindowThread);
    const QString question = desktop->questions[0].text;
    EXPECT_TRUE(question.endsWith(QString::fromUtf8("Diesem Serverschlüssel trotzdem vertrauen?")))
        << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("ecdsa-sha2-nistp256"))) << question.toStdString();
    const qsizetype at = question.indexOf(QStringLiteral("SHA256:"));
    ASSERT_GE(at, 0) << question.toStdString();
    const QString fingerprint = question.mid(at).section(QLatin1Char('\r'), 0, 0);
    EXPECT_TRUE(desktop->errorBoxes.empty());
    EXPECT_EQ(server.root().read("index.html").find("mailto:"), std::string::npos);
    EXPECT_NE(readWorkFile("Einstellungen.qmk")
                  .find("[SSH-Schl\xFCssel]\r\n127.0.0.1:" + std::to_string(server.port()) + "=ecdsa-sha2-nistp256 " +
                        fingerprint.toStdString() + "\r\n"),
              std::string::npos)
        << readWorkFile("Einstellungen.qmk");

    // The key is trusted from now on: the next run asks nothing.
    server.root().write("index.html", kPage);
    start();
    EXPECT_EQ(desktop->questions.size(), 1u);
    EXPECT_TRUE(desktop->errorBoxes.empty());
    EXPECT_EQ(server.root().read("index.html").find("mailto:"), std::string::npos);
}

// "Nein" (also the answer of Escape and of the default button) ends the run
// before anything is logged in or changed, and nothing is trusted.
TEST_F(SftpPageTest, NeinEndsTheRunAndTrustsNothing) {
    desktop->scriptQuestion(false);
    start();

    ASSERT_EQ(desktop->questions.size(), 1u);
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_TRUE(desktop->errorBoxes[0].text.contains(QString::fromUtf8("nicht vertraut")))
        << desktop->errorBoxes[0].text.toStdString();
    EXPECT_EQ(server.root().read("index.html"), kPage);
    EXPECT_EQ(readWorkFile("Einstellungen.qmk").find("SSH-Schl"), std::string::npos);
}

}  // namespace
}  // namespace quill
