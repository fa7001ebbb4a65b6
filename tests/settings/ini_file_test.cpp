#include "settings/ini_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/fault_injection.hpp"
#include "support/hook_scopes.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

struct ReadCase {
    const char* name;
    std::string content;
    std::string section;
    std::string key;
    std::string defaultValue;
    std::string expected;
};

TEST(IniFile, ReadsValuesWithTheProfileRules) {
    const std::string longValue(3000, 'x');
    const ReadCase cases[] = {
        {"plain", "[A]\r\nk=v\r\n", "A", "k", "d", "v"},
        {"section case-blind", "[quillMASKERADE]\r\nEMailAdresse=a@b\r\n", "Quillmaskerade", "EMailAdresse", "", "a@b"},
        {"key case-blind", "[A]\r\nbetreff=Hi\r\n", "A", "Betreff", "", "Hi"},
        {"blanks around value", "[A]\r\nk=  v w  \r\n", "A", "k", "", "v w"},
        {"blanks around key", "[A]\r\n  k  =v\r\n", "A", "k", "", "v"},
        {"double quotes", "[A]\r\nk=\" v \"\r\n", "A", "k", "", " v "},
        {"single quotes", "[A]\r\nk='v'\r\n", "A", "k", "", "v"},
        {"one pair only", "[A]\r\nk=\"\"v\"\"\r\n", "A", "k", "", "\"v\""},
        {"unbalanced quote kept", "[A]\r\nk=\"v\r\n", "A", "k", "", "\"v"},
        {"missing key gives default", "[A]\r\nk=v\r\n", "A", "x", "dflt", "dflt"},
        {"missing section gives default", "[A]\r\nk=v\r\n", "B", "k", "/", "/"},
        {"key of another section", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n", "A", "k", "d", "d"},
        {"default loses trailing blanks", "", "A", "k", " ", ""},
        {"empty value", "[A]\r\nk=\r\n", "A", "k", "d", ""},
        {"value with equals", "[A]\r\nk=a=b\r\n", "A", "k", "", "a=b"},
        {"LF-only file", "[A]\nk=v\n", "A", "k", "", "v"},
        {"at most 2047 characters", "[A]\r\nk=" + longValue + "\r\n", "A", "k", "", std::string(2047, 'x')},
        {"first of two equal keys", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "", "1"},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        if (!c.content.empty()) folder.write("s.ini", c.content);
        IniFile ini(folder.file("s.ini"));
        EXPECT_EQ(ini.readString(c.section, c.key, c.defaultValue), c.expected) << c.name;
    }
}

TEST(IniFile, MissingFileReadsDefaults) {
    test::TempFolder folder;
    IniFile ini(folder.file("none.ini"));
    EXPECT_EQ(ini.readString("FTP-Daten", "Verzeichnis", "/"), "/");
    EXPECT_EQ(ini.readString("Quillmaskerade", "Verzeichnis", " "), "");
}

TEST(IniFile, FirstWriteCreatesTheFileForItsOwnerOnly) {
    test::TempFolder folder;
    IniFile ini(folder.file("s.ini"));
    ini.writeString("FTP-Daten", "Passwort", "geheim");
    EXPECT_EQ(folder.read("s.ini"), "[FTP-Daten]\r\nPasswort=geheim\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("s.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(IniFile, WritesReplaceInPlaceAndAddMissingKeysAndSections) {
    test::TempFolder folder;
    folder.write("s.ini", "[Quillmaskerade]\r\nEMailAdresse=alt\r\nBetreff=x\r\n\r\n[Other]\r\nz=1\r\n");
    IniFile ini(folder.file("s.ini"));
    ini.writeString("QUILLMASKERADE", "emailadresse", "neu");
    ini.writeString("Quillmaskerade", "Verzeichnis", " ");
    ini.writeString("FTP-Daten", "Server", "ftp.example.org");
    EXPECT_EQ(folder.read("s.ini"),
              "[Quillmaskerade]\r\nemailadresse=neu\r\nBetreff=x\r\nVerzeichnis= \r\n\r\n[Other]\r\nz=1\r\n"
              "[FTP-Daten]\r\nServer=ftp.example.org\r\n");
    EXPECT_EQ(ini.readString("Quillmaskerade", "EMailAdresse", ""), "neu");
    EXPECT_EQ(ini.readString("Quillmaskerade", "Verzeichnis", " "), "");
}

TEST(IniFile, BlanksWrittenAreLostOnReading) {
    test::TempFolder folder;
    IniFile ini(folder.file("s.ini"));
    ini.writeString("FTP-Daten", "Passwort", "  pw  ");
    EXPECT_EQ(ini.readString("FTP-Daten", "Passwort", ""), "pw");
}

TEST(IniFile, FailedWriteNamesTheFileAndKeepsItWhole) {
    test::TempFolder folder;
    const std::string before = "[A]\r\nk=v\r\n";
    folder.write("s.ini", before);
    IniFile ini(folder.file("s.ini"));
    // An unreadable file counts as unwritable: rewriting it would keep only the new key.
    for (auto step : {files::FileStep::OpenRead, files::FileStep::ShortRead, files::FileStep::CreateTemp,
                      files::FileStep::ShortWrite, files::FileStep::Rename}) {
        {
            const test::FileFaultScope fault(
                [step](files::FileStep s, const std::string&) { return s == step ? EACCES : 0; });
            try {
                ini.writeString("A", "k", "neu");
                ADD_FAILURE() << "no error";
            } catch (const SettingsWriteError& e) {
                EXPECT_EQ(std::string(e.what()), "In " + folder.file("s.ini") + " kann nicht geschrieben werden");
            }
        }
        EXPECT_EQ(folder.read("s.ini"), before);
    }
}

TEST(IniFile, WriteProtectedFileIsRefused) {
    test::TempFolder folder;
    folder.write("s.ini", "[A]\r\nk=v\r\n");
    ::chmod(folder.file("s.ini").c_str(), 0444);
    IniFile ini(folder.file("s.ini"));
    EXPECT_THROW(ini.writeString("A", "k", "neu"), SettingsWriteError);
    EXPECT_EQ(ini.readString("A", "k", ""), "v");
}

}  // namespace
}  // namespace quill
