#include "settings/settings_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <vector>

#include "support/hook_scopes.hpp"
#include "support/temp_folder.hpp"

namespace quill::settings {
namespace {

using ProgramSettings = test::InTempWorkingFolder;

TEST_F(ProgramSettings, AFreshFileGivesTheFirstStartValues) {
    const SettingsFile file;
    EXPECT_EQ(file.mail().address, "");
    EXPECT_EQ(file.mail().subject, "");
    EXPECT_FALSE(file.protectAll());
    const FtpFields ftp = file.ftp();
    EXPECT_EQ(ftp.host, "");
    EXPECT_EQ(ftp.folder, "/");
    EXPECT_FALSE(ftp.passive);
}

TEST_F(ProgramSettings, WritesTheKeysAnEarlierVersionReads) {
    SettingsFile file;
    file.setMail({"a@b.de", "Hallo"});
    file.setFolder("/srv/web");
    file.setProtectAll(true);
    file.setFtp({"ftp.example.org", "anna", "geheim", "\\htdocs", false, true, true});
    file.setCertificatePin("ftp.example.org", "AB12");
    EXPECT_EQ(work().read("Einstellungen.qmk"),
              "[Quillmaskerade]\r\nEMailAdresse=a@b.de\r\nBetreff=Hallo\r\nVerzeichnis=/srv/web\r\n"
              "AlleAdressen=Ja\r\n"
              "[FTP-Daten]\r\nServer=ftp.example.org\r\nUsername=anna\r\nPasswort=geheim\r\n"
              "Verzeichnis=\\htdocs\r\nPassiv=Nein\r\nTLS=Ja\r\nUnterordner=Ja\r\n"
              "[FTP-Zertifikate]\r\nftp.example.org=AB12\r\n");

    file.setProtectAll(false);
    file.setFtp({"h", "u", "p", "/", true, false});
    const SettingsFile again(work().file("Einstellungen.qmk"));
    EXPECT_FALSE(again.protectAll());
    EXPECT_EQ(again.folder(), "/srv/web");
    const FtpFields ftp = again.ftp();
    EXPECT_EQ(ftp.host, "h");
    EXPECT_EQ(ftp.user, "u");
    EXPECT_EQ(ftp.password, "p");
    EXPECT_EQ(ftp.folder, "/");
    EXPECT_TRUE(ftp.passive);
    EXPECT_FALSE(ftp.tls);
    EXPECT_FALSE(ftp.subfolders);
    EXPECT_EQ(again.certificatePin("FTP.example.org"), "AB12");
    EXPECT_EQ(again.certificatePin("other.example.org"), "");
}

// A kill between two keys must not pair a new server with an old password:
// every setter reaches the file in one replace.
TEST_F(ProgramSettings, TheFieldsOfOneSetterAreWrittenInOneReplace) {
    SettingsFile file;
    file.setFtp({"old", "old", "old", "/", false, false});
    const std::vector<std::function<void()>> setters = {
        [&] {
            file.setFtp({"new.example.org", "anna", "geheim", "/htdocs", true, true});
        },
        [&] {
            file.setMail({"a@b.de", "Hallo"});
        },
    };
    for (const auto& set : setters) {
        int replaces = 0;
        test::FileFaultScope count([&](files::FileStep step, const std::string&) {
            replaces += step == files::FileStep::Rename || step == files::FileStep::InPlaceWrite;
            return 0;
        });
        set();
        EXPECT_EQ(replaces, 1);
    }
    EXPECT_EQ(file.ftp().password, "geheim");
    EXPECT_EQ(file.mail().subject, "Hallo");
}

// Whatever mode the file had, once it holds a password only its owner may read it.
TEST_F(ProgramSettings, AFileThatGetsAPasswordIsTheOwnersAlone) {
    const auto mode = [] {
        struct stat info {};
        ::stat(settingsFilePath().c_str(), &info);
        return info.st_mode & 07777;
    };
    SettingsFile file;
    for (const mode_t before : {0644, 0666, 0600}) {
        file.setMail({"a@b.de", "Hallo"});
        ::chmod(settingsFilePath().c_str(), before);
        file.setFtp({"host", "anna", "", "/", false, false});
        EXPECT_EQ(mode(), before) << "no password, mode kept";
        file.setFtp({"host", "anna", "geheim", "/", false, false});
        EXPECT_EQ(mode(), 0600u) << std::oct << before;
    }
}

TEST_F(ProgramSettings, OnlyJaSwitchesOn) {
    const struct {
        const char* stored;
        bool on;
    } cases[] = {{"Ja", true},  {"  Ja ", true}, {"\"Ja\"", true}, {"Nein", false},
                 {"ja", false}, {"1", false},    {"", false}};
    for (const auto& c : cases) {
        work().write("Einstellungen.qmk", std::string("[Quillmaskerade]\r\nAlleAdressen=") + c.stored +
                                              "\r\n[FTP-Daten]\r\nPassiv=" + c.stored + "\r\nTLS=" + c.stored + "\r\n");
        EXPECT_EQ(SettingsFile().protectAll(), c.on) << c.stored;
        EXPECT_EQ(SettingsFile().ftp().passive, c.on) << c.stored;
        EXPECT_EQ(SettingsFile().ftp().tls, c.on) << c.stored;
    }
}

}  // namespace
}  // namespace quill::settings
