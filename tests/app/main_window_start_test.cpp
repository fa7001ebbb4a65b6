#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "app/list_box.hpp"
#include "app/start_up.hpp"
#include "app_test_support.hpp"
#include "info/about_box.hpp"
#include "info/credit.hpp"
#include "info/vk_tobrin.hpp"

namespace quill {
namespace {

using test::control;

// What FormCreate put into the fields.
struct Fields {
    QString mail, subject, host, user, pass, ftpDir;
    bool passive;
    bool tls;
    QStringList masks;
    bool subfolders = false;
};

Fields fieldsOf(TMaskerade& window) {
    QStringList masks;
    auto& list = control<ListBox>(window, "Endungen");
    for (int i = 0; i < list.count(); ++i) masks << list.item(i)->text();
    return {control<QLineEdit>(window, "Mail_Edit").text(),
            control<QLineEdit>(window, "Betreff_Edit").text(),
            control<QLineEdit>(window, "Host").text(),
            control<QLineEdit>(window, "User").text(),
            control<QLineEdit>(window, "Pass").text(),
            control<QLineEdit>(window, "FTPDir").text(),
            control<QCheckBox>(window, "Passiv").isChecked(),
            control<QCheckBox>(window, "TLS_ja").isChecked(),
            masks,
            control<QCheckBox>(window, "FTP_Unterordner").isChecked()};
}

class StartUpTest : public test::WindowTest {};

TEST_F(StartUpTest, WithoutFilesShowsOneErrorBoxAndLoadsNoSetting) {
    // A settings file exists but must not be read once the list failed.
    writeWorkFile("Einstellungen.qmk", "[FTP-Daten]\r\nServer=ftp.example.org\r\nPassiv=Ja\r\n");
    const auto window = makeWindow();
    ASSERT_EQ(desktop->errorBoxes.size(), 1u);
    EXPECT_EQ(desktop->errorBoxes[0].caption, QStringLiteral("test_app"));
    const QString text = desktop->errorBoxes[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Datei ") + workPath("Endungen.qmk") +
                                QStringLiteral(" kann nicht geöffnet werden. ")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(u'.'));

    const Fields fields = fieldsOf(*window);
    EXPECT_EQ(fields.host, QString());
    EXPECT_EQ(fields.ftpDir, QString());  // not even the default "/"
    EXPECT_FALSE(fields.passive);
    EXPECT_TRUE(fields.masks.isEmpty());
    EXPECT_TRUE(desktop->messageBoxes.empty());
}

struct StartCase {
    const char* name;
    const char* masks;     // nullptr: no file
    const char* settings;  // nullptr: no file
    Fields expected;
};

class StartUpCaseTest : public test::WindowTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUpCaseTest, LoadsListAndSettings) {
    const StartCase& c = GetParam();
    if (c.masks != nullptr) writeWorkFile("Endungen.qmk", c.masks);
    if (c.settings != nullptr) writeWorkFile("Einstellungen.qmk", c.settings);
    const auto window = makeWindow();
    EXPECT_TRUE(desktop->errorBoxes.empty());
    const Fields fields = fieldsOf(*window);
    EXPECT_EQ(fields.mail, c.expected.mail);
    EXPECT_EQ(fields.subject, c.expected.subject);
    EXPECT_EQ(fields.host, c.expected.host);
    EXPECT_EQ(fields.user, c.expected.user);
    EXPECT_EQ(fields.pass, c.expected.pass);
    EXPECT_EQ(fields.ftpDir, c.expected.ftpDir);
    EXPECT_EQ(fields.passive, c.expected.passive);
    EXPECT_EQ(fields.tls, c.expected.tls);
    EXPECT_EQ(fields.masks, c.expected.masks);
    EXPECT_EQ(fields.subfolders, c.expected.subfolders);
}

const char* const kFullSettings =
    "[Quillmaskerade]\r\nEMailAdresse=info@example.com\r\nBetreff=  \"Hallo Welt\"  \r\nVerzeichnis=/home\r\n"
    "[FTP-Daten]\r\nServer=ftp.example.org\r\nUsername=anna\r\nPasswort= geheim \r\nVerzeichnis=/htdocs\r\n"
    "Passiv=Ja\r\nTLS=Ja\r\nUnterordner=Ja\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, StartUpCaseTest,
    ::testing::Values(
        StartCase{"empty list, no settings", "", nullptr, {"", "", "", "", "", "/", false, false, {}}},
        StartCase{
            "empty list, every setting",
            "",
            kFullSettings,
            {"info@example.com", "Hallo Welt", "ftp.example.org", "anna", "geheim", "/htdocs", true, true, {}, true}},
        StartCase{"server only",
                  "*.html\r\n",
                  "[FTP-Daten]\r\nServer=ftp.example.org\r\n",
                  {"", "", "ftp.example.org", "", "", "/", false, false, {"*.html"}}},
        StartCase{
            "passive in lower case", "", "[FTP-Daten]\r\nPassiv=ja\r\n", {"", "", "", "", "", "/", false, false, {}}},
        StartCase{
            "passive in capitals", "", "[FTP-Daten]\r\nPassiv=JA\r\n", {"", "", "", "", "", "/", false, false, {}}},
        StartCase{
            "encryption in lower case", "", "[FTP-Daten]\r\nTLS=ja\r\n", {"", "", "", "", "", "/", false, false, {}}},
        StartCase{"encryption only", "", "[FTP-Daten]\r\nTLS=Ja\r\n", {"", "", "", "", "", "/", false, true, {}}},
        StartCase{"sub-folders in lower case",
                  "",
                  "[FTP-Daten]\r\nUnterordner=ja\r\n",
                  {"", "", "", "", "", "/", false, false, {}, false}},
        StartCase{"names match in any case",
                  "",
                  "[ftp-daten]\r\npassiv=Ja\r\nSERVER=h\r\n",
                  {"", "", "h", "", "", "/", true, false, {}}},
        StartCase{"line ends of every kind",
                  "*.html\r\n*.htm\r*.php\n\r\n*.asp",
                  nullptr,
                  {"", "", "", "", "", "/", false, false, {"*.html", "*.htm", "*.php", "", "*.asp"}}},
        StartCase{"latin-1 text",
                  "*.\xE4h\r\n",
                  "[Quillmaskerade]\r\nBetreff=Gr\xFC\xDF"
                  "e\r\n",
                  {"", "Grüße", "", "", "", "/", false, false, {"*.äh"}}},
        StartCase{"utf-8 text trimmed behind its mark",
                  "",
                  "[Quillmaskerade]\r\nEMailAdresse=\xEF\xBB\xBF  \xC5\x82ukasz@x\r\n"
                  "Betreff=\xEF\xBB\xBF \"\xC5\x81\xC3\xB3"
                  "d\xC5\xBA \" \r\n",
                  {"łukasz@x", "Łódź ", "", "", "", "/", false, false, {}}}),
    [](const ::testing::TestParamInfo<StartCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// Notes how many windows were on screen when the error box came up.
class VisibilityRecordingDesktop : public test::DesktopFake {
public:
    void showErrorBox(QWidget* owner, const QString& caption, const QString& text) override {
        const QWidgetList windows = QApplication::topLevelWidgets();
        visibleWindows.push_back(
            static_cast<int>(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); })));
        DesktopFake::showErrorBox(owner, caption, text);
    }
    std::vector<int> visibleWindows;
};

TEST_F(StartUpTest, TheErrorBoxOfTheLoadingComesBeforeAnyWindowIsShown) {
    auto recording = std::make_unique<VisibilityRecordingDesktop>();
    const VisibilityRecordingDesktop* desktopSeen = recording.get();
    const test::InstalledDesktopFake installed(std::move(recording));
    ProgramWindows windows = createProgramWindows();
    windows.Maskerade->show();
    EXPECT_EQ(desktopSeen->visibleWindows, std::vector<int>{0});
}

TEST_F(StartUpTest, CreatesTheFourWindowsHiddenAndWiresTheAboutBox) {
    writeWorkFile("Endungen.qmk", "");
    ProgramWindows windows = createProgramWindows();
    ASSERT_NE(windows.Maskerade, nullptr);
    ASSERT_NE(windows.AboutBox, nullptr);
    ASSERT_NE(windows.credit, nullptr);
    ASSERT_NE(windows.VK_Tobrin, nullptr);
    EXPECT_FALSE(windows.Maskerade->isVisible());
    EXPECT_FALSE(windows.AboutBox->isVisible());
    EXPECT_FALSE(windows.credit->isVisible());
    EXPECT_FALSE(windows.VK_Tobrin->isVisible());

    // "Info" shows the about window modally and returns when it closes.
    windows.Maskerade->show();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        wasModal = modal == windows.AboutBox.get();
        if (modal != nullptr) modal->close();
    });
    control<QAbstractButton>(*windows.Maskerade, "About").click();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(windows.AboutBox->isVisible());
    EXPECT_TRUE(desktop->errorBoxes.empty());
}

}  // namespace
}  // namespace quill
