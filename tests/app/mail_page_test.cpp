#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <filesystem>

#include "app/memo.hpp"
#include "app_test_support.hpp"
#include "settings/ini_file.hpp"

namespace quill {
namespace {

using test::control;

const std::string kMailto = "&#109&#97&#105&#108&#116&#111&#58";
const std::string kSubjectPrefix = "&#63&#115&#117&#98&#106&#101&#99&#116&#61";

class MailPageTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        writeWorkFile("Endungen.qmk", "");
        window = makeWindow();
    }
    void encode(const QString& address, const QString& subject, bool page) {
        control<QLineEdit>(*window, "Mail_Edit").setText(address);
        control<QLineEdit>(*window, "Betreff_Edit").setText(subject);
        control<QCheckBox>(*window, "Datei_ja").setChecked(page);
        control<QAbstractButton>(*window, "Go_Mail").click();
    }
    QString memo(const char* name) { return control<Memo>(*window, name).text(); }
    std::string setting(std::string_view key) {
        return IniFile(workFile("Einstellungen.qmk")).readString("Quillmaskerade", key, "<missing>");
    }

    std::unique_ptr<TMaskerade> window;
};

struct EncodeCase {
    const char* name;
    const char* address;  // as typed (UTF-8)
    const char* subject;
    std::string encodedMemo;
    std::string linkMemo;
};

class EncodeTest : public MailPageTest, public ::testing::WithParamInterface<EncodeCase> {};

TEST_P(EncodeTest, FillsBothMemosWithOneLineEach) {
    const EncodeCase& c = GetParam();
    control<Memo>(*window, "Kodiert_Memo").setText(QStringLiteral("alt\r\n"));
    encode(QString::fromUtf8(c.address), QString::fromUtf8(c.subject), false);
    EXPECT_EQ(memo("Kodiert_Memo"), test::fromUtf8(c.encodedMemo));
    EXPECT_EQ(memo("Link_Memo"), test::fromUtf8(c.linkMemo));
    EXPECT_TRUE(desktop->errorBoxes.empty());
    EXPECT_TRUE(desktop->shellOpens.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(workFile("SpamSchutz.html")));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, EncodeTest,
    ::testing::Values(
        EncodeCase{"empty address", "", "Hallo", "", ""},
        EncodeCase{"ab", "ab", "", "&#97&#98\r\n", "<a href=\"" + kMailto + "&#97&#98\">&#97&#98</a>\r\n"},
        EncodeCase{"subject Hi", "ab", "Hi", "&#97&#98\r\n",
                   "<a href=\"" + kMailto + "&#97&#98" + kSubjectPrefix + "Hi\">&#97&#98</a>\r\n"},
        // A digit right behind a reference would be read as part of it.
        EncodeCase{"subject with leading digits", "ab", "2026 Bestellung", "&#97&#98\r\n",
                   "<a href=\"" + kMailto + "&#97&#98" + kSubjectPrefix + ";2026%20Bestellung\">&#97&#98</a>\r\n"},
        // Quotes and "&" would end the attribute or the subject.
        EncodeCase{"subject percent encoded", "ab", "Re: \"x\" & y", "&#97&#98\r\n",
                   "<a href=\"" + kMailto + "&#97&#98" + kSubjectPrefix + "Re:%20%22x%22%20%26%20y\">&#97&#98</a>\r\n"},
        EncodeCase{"blanks kept", " a@b ", "", "&#32&#97&#64&#98&#32\r\n",
                   "<a href=\"" + kMailto + "&#32&#97&#64&#98&#32\">&#32&#97&#64&#98&#32</a>\r\n"},
        EncodeCase{"umlaut by its code page value", "jö@x", "", "&#106&#246&#64&#120\r\n",
                   "<a href=\"" + kMailto + "&#106&#246&#64&#120\">&#106&#246&#64&#120</a>\r\n"},
        // Outside the code page: the code point, never "?" (which would be another address).
        EncodeCase{"character outside the code page", "ł@x", "Łódź", "&#322&#64&#120\r\n",
                   "<a href=\"" + kMailto + "&#322&#64&#120" + kSubjectPrefix +
                       "%C5%81%C3%B3d%C5%BA\">&#322&#64&#120</a>\r\n"}),
    [](const ::testing::TestParamInfo<EncodeCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// Pasting into a typed field takes the first line of the clipboard only, as a
// desktop single-line edit does; the field's own text around the cursor stays.
TEST_F(MailPageTest, PastedLineBreaksNeverReachATypedField) {
    struct Row {
        const char* field;
        const char* before;
        int cursor;
        const char* clipboard;
        const char* after;
    };
    const Row rows[] = {
        {"Mail_Edit", "", 0, "ab\r\n", "ab"},
        {"Mail_Edit", "xy", 1, "ab\r\ncd\nef", "xaby"},
        {"Betreff_Edit", "Re: ", 4, "Hallo\nWelt", "Re: Hallo"},
        {"Pass", "", 0, "\rgeheim", ""},
        {"Dateiendung", "*.", 2, "html", "*.html"},
        {"FTPDir", "", 0, "/htdocs\r\n", "/htdocs"},
    };
    for (const Row& row : rows) {
        auto& field = control<QLineEdit>(*window, row.field);
        field.setText(QString::fromUtf8(row.before));
        field.setCursorPosition(row.cursor);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(row.clipboard));
        field.paste();
        EXPECT_EQ(field.text(), QString::fromUtf8(row.after)) << row.field << " " << row.clipboard;
    }

    control<QLineEdit>(*window, "Mail_Edit").clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("ab\r\n"));
    control<QLineEdit>(*window, "Mail_Edit").paste();
    control<QAbstractButton>(*window, "Go_Mail").click();
    EXPECT_EQ(memo("Kodiert_Memo"), QStringLiteral("&#97&#98\r\n"));
    EXPECT_EQ(setting("EMailAdresse"), "ab");
}

TEST_F(MailPageTest, WritesBothFieldsToTheSettingsOnEveryClickEmptyOnesToo) {
    encode(QStringLiteral("ab"), QStringLiteral("Hi"), false);
    EXPECT_EQ(setting("EMailAdresse"), "ab");
    EXPECT_EQ(setting("Betreff"), "Hi");
    encode(QString(), QStringLiteral("Grüße"), true);
    EXPECT_EQ(setting("EMailAdresse"), "");
    EXPECT_EQ(setting("Betreff"),
              "Gr\xFC\xDF"
              "e");
    const std::string file = readWorkFile("Einstellungen.qmk");
    EXPECT_NE(file.find("[Quillmaskerade]"), std::string::npos);
    EXPECT_LT(file.find("EMailAdresse="), file.find("Betreff="));
    // The empty address stops before the page, even with the box ticked.
    EXPECT_FALSE(std::filesystem::exists(workFile("SpamSchutz.html")));
    EXPECT_TRUE(desktop->shellOpens.isEmpty());
    EXPECT_EQ(memo("Kodiert_Memo"), QString());
}

TEST_F(MailPageTest, CharactersOutsideTheCodePageSurviveARestart) {
    encode(QString::fromUtf8("łukasz@example.pl"), QString::fromUtf8("Grüße aus Łódź"), false);
    EXPECT_EQ(setting("EMailAdresse"), "\xEF\xBB\xBF\xC5\x82ukasz@example.pl");
    encode(QString::fromUtf8("jö@x"), QString::fromUtf8("Grüße aus Łódź"), false);
    EXPECT_EQ(setting("EMailAdresse"), "j\xF6@x");  // the code page where it suffices

    const auto restarted = makeWindow();
    EXPECT_EQ(control<QLineEdit>(*restarted, "Mail_Edit").text(), QString::fromUtf8("jö@x"));
    EXPECT_EQ(control<QLineEdit>(*restarted, "Betreff_Edit").text(), QString::fromUtf8("Grüße aus Łódź"));
}

TEST_F(MailPageTest, WritesTheLinkPageAndOpensIt) {
    encode(QStringLiteral("ab"), QStringLiteral("Hi"), true);
    const std::string link = "<a href=\"" + kMailto + "&#97&#98" + kSubjectPrefix + "Hi\">&#97&#98</a>";
    const std::string frame(80, '#');
    const std::string expected =
        "<html>\r\n<head>\r\n<!--\r\n" + frame + "\r\n" +
        "# Die Datei wurde mit dem Quillmaskerade V 2.6 erstellt!                       #\r\n"
        "# Den Ursprung von Spam zu bek\xE4mpfen ist besser, als Spam-Mails zu bearbeiten! #\r\n"
        "# Infos unter: https://www.quillmaskerade.de" +
        std::string(35, ' ') + "#\r\n" + frame + "\r\n" +
        "-->\r\n<title>Verschl&uuml;sselte E-Mail-Adresse</title>\r\n</head>\r\n<body>\r\n<center>\r\n<h1>\r\n" + link +
        "\r\n\r\n</h1>\r\n</center>\r\n</body>\r\n</html>\r\n";
    EXPECT_EQ(readWorkFile("SpamSchutz.html"), expected);
    EXPECT_EQ(desktop->shellOpens, QStringList{workPath("SpamSchutz.html")});
    EXPECT_TRUE(desktop->errorBoxes.empty());
    EXPECT_TRUE(desktop->messageBoxes.empty());  // written where the program was started
}

TEST_F(MailPageTest, APageTheDesktopCannotOpenIsNamedWithTheReason) {
    desktop->unopenable << workPath("SpamSchutz.html");
    desktop->unopenableReason = QStringLiteral("Kein Programm zum Öffnen gefunden");
    encode(QStringLiteral("ab"), QString(), true);
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].text, QStringLiteral("\"%1\" kann nicht geöffnet werden: Kein Programm zum "
                                                          "Öffnen gefunden.")
                                               .arg(workPath("SpamSchutz.html")));
    EXPECT_FALSE(readWorkFile("SpamSchutz.html").empty());
    EXPECT_EQ(memo("Kodiert_Memo"), QStringLiteral("&#97&#98\r\n"));
}

TEST_F(MailPageTest, APageWrittenAwayFromTheStartFolderIsNamed) {
    test::TempFolder elsewhere;
    window->setStartFolder(elsewhere.path());
    encode(QStringLiteral("ab"), QString(), true);
    EXPECT_EQ(desktop->shellOpens, QStringList{workPath("SpamSchutz.html")});
    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].kind, MessageKind::Information);
    EXPECT_EQ(
        desktop->messageBoxes[0].text,
        QStringLiteral("Die HTML-Datei wurde erstellt.\r\nSie liegt in \"%1\".").arg(workPath("SpamSchutz.html")));
}

TEST_F(MailPageTest, ASettingsFileThatCannotBeWrittenStopsBeforeTheMemos) {
    control<Memo>(*window, "Kodiert_Memo").setText(QStringLiteral("vorher\r\n"));
    std::filesystem::create_directory(workFile("Einstellungen.qmk"));
    encode(QStringLiteral("ab"), QString(), true);
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].text, QStringLiteral("In ") + workPath("Einstellungen.qmk") +
                                               QStringLiteral(" kann nicht geschrieben werden."));
    EXPECT_EQ(memo("Kodiert_Memo"), QStringLiteral("vorher\r\n"));
    EXPECT_TRUE(desktop->shellOpens.isEmpty());
}

TEST_F(MailPageTest, APageThatCannotBeCreatedLeavesTheMemosFilledAndIsNotOpened) {
    std::filesystem::create_directory(workFile("SpamSchutz.html"));
    encode(QStringLiteral("ab"), QString(), true);
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_TRUE(desktop->errorBoxes[0].text.startsWith(QStringLiteral("Datei \"") + workPath("SpamSchutz.html") +
                                                       QStringLiteral("\" kann nicht erstellt werden. ")))
        << desktop->errorBoxes[0].text.toStdString();
    EXPECT_EQ(memo("Kodiert_Memo"), QStringLiteral("&#97&#98\r\n"));
    EXPECT_FALSE(memo("Link_Memo").isEmpty());
    EXPECT_TRUE(desktop->shellOpens.isEmpty());
}

TEST_F(MailPageTest, CopyLinkAfterAnEncodingCopiesTheLineWithItsLineBreak) {
    encode(QStringLiteral("ab"), QString(), false);
    control<QAbstractButton>(*window, "Copy_Link").click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              test::fromUtf8("<a href=\"" + kMailto + "&#97&#98\">&#97&#98</a>\r\n"));
}

}  // namespace
}  // namespace quill
