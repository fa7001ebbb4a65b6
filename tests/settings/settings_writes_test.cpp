#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "files/file_io.hpp"
#include "settings/extension_list.hpp"
#include "settings/ini_file.hpp"
#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

using namespace std::string_literals;

enum class Place { Plain, Fifo, LockedFolder };

// Makes the file (bytes, or a FIFO) in a folder that, for LockedFolder,
// takes no new file while the file itself stays writable for the user nobody.
std::string prepare(const test::TempFolder& folder, Place place, const std::string& bytes) {
    ::chmod(folder.path().c_str(), 0755);
    if (place == Place::Fifo) {
        EXPECT_EQ(::mkfifo(folder.file("f").c_str(), 0644), 0);
        return folder.file("f");
    }
    const std::string path = folder.write(place == Place::LockedFolder ? "locked/f" : "f", bytes);
    if (place == Place::LockedFolder) {
        EXPECT_EQ(::chown(path.c_str(), test::kNobody, test::kNobody), 0);
        ::chmod(folder.file("locked").c_str(), 0555);
    }
    return path;
}

// Runs the write as nobody for a locked folder (root may write anywhere);
// returns its error text, "" when it succeeded.
std::string writeAs(Place place, const std::function<void()>& write) {
    return test::runInChild([&](const auto& report) {
               if (place == Place::LockedFolder && !test::becomeNobody()) ::_exit(2);
               try {
                   write();
               } catch (const QuillError& error) {
                   report(error.what());
               }
           })
        .report;
}

TEST(SettingsWrites, AKeyWriteChangesOneLineAndKeepsEveryOtherByte) {
    struct Row {
        std::string name;
        Place place;
        std::string before, section;
        std::optional<std::string> after;  // nothing: refused, file unchanged
    };
    const std::vector<Row> rows = {
        {"lines behind a NUL byte", Place::Plain, "[A]\r\nk=v\r\n\0[FTP-Daten]\r\nPasswort=x\r\n"s, "A",
         "[A]\r\nk=neu\r\n\0[FTP-Daten]\r\nPasswort=x\r\n"s},
        {"other line ends", Place::Plain, "[A]\nx=1\nk=v\rz=2", "A", "[A]\nx=1\nk=neu\rz=2"},
        {"new key before a NUL byte", Place::Plain, "[A]\r\nx=1\r\n\0rest"s, "A", "[A]\r\nx=1\r\nk=neu\r\n\0rest"s},
        {"new section behind a last line without end", Place::Plain, "[A]\r\nx=1\0tail"s, "B",
         "[A]\r\nx=1\r\n[B]\r\nk=neu\r\n\0tail"s},
        {"UTF-16", Place::Plain, "\xff\xfe[\0A\0]\0\r\0\n\0"s, "A", std::nullopt},
        {"UTF-16 without mark", Place::Plain, "[\0A\0]\0"s, "A", std::nullopt},
        {"FIFO", Place::Fifo, "", "A", std::nullopt},
        {"folder takes no new file", Place::LockedFolder, "[A]\r\nk=v\r\n\0x"s, "A", "[A]\r\nk=neu\r\n\0x"s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.place == Place::LockedFolder && ::geteuid() != 0) continue;
        test::TempFolder folder;
        const std::string path = prepare(folder, row.place, row.before);
        IniFile ini(path);
        const std::string error = writeAs(row.place, [&] { ini.writeString(row.section, "k", "neu"); });
        if (row.place == Place::Fifo) {
            EXPECT_EQ(ini.readString("A", "k", "d"), "d");
            EXPECT_TRUE(S_ISFIFO(([&] {
                                     struct stat s {};
                                     ::stat(path.c_str(), &s);
                                     return s;
                                 })()
                                     .st_mode));
        } else {
            EXPECT_EQ(test::readFile(path), row.after.value_or(row.before));
        }
        EXPECT_EQ(error, row.after ? "" : "In " + path + " kann nicht geschrieben werden");
    }
}

using ExtensionListWrites = test::InTempWorkingFolder;

TEST_F(ExtensionListWrites, AddingOrRemovingAMaskChangesOnlyItsLine) {
    struct Row {
        std::string name;
        Place place;
        std::string before;
        StringList masks;
        std::string after;
        int error;  // 0, or the reason the save is refused with
    };
    const std::vector<Row> rows = {
        {"added behind a NUL byte's text",
         Place::Plain,
         "*.htm\n\0junk"s,
         {"*.htm", "*.html"},
         "*.htm\n*.html\r\n\0junk"s,
         0},
        {"removed from the middle", Place::Plain, "a\r\nb\nc\r\n\0x"s, {"a", "c"}, "a\r\nc\r\n\0x"s, 0},
        {"unchanged", Place::Plain, "a\nb"s, {"a", "b"}, "a\nb"s, 0},
        {"written anew", Place::Plain, "a\nb\0x"s, {"c"}, "c\r\n\0x"s, 0},
        {"UTF-16", Place::Plain, "\xff\xfe*\0.\0h\0"s, {"*.h", "*.html"}, "\xff\xfe*\0.\0h\0"s, EILSEQ},
        {"FIFO", Place::Fifo, "", {"*.html"}, "", EACCES},
        {"folder takes no new file", Place::LockedFolder, "*.htm\r\n", {"*.htm", "*.html"}, "*.htm\r\n*.html\r\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.place == Place::LockedFolder && ::geteuid() != 0) continue;
        test::TempFolder folder;
        const std::string path = prepare(folder, row.place, row.before);
        ASSERT_EQ(::rename(path.c_str(), work().file("Endungen.qmk").c_str()), 0);
        ::chmod(work().path().c_str(), row.place == Place::LockedFolder ? 0555 : 0755);
        const std::string error = writeAs(row.place, [&] { saveExtensionList(row.masks); });
        ::chmod(work().path().c_str(), 0755);
        EXPECT_EQ(error, row.error ? files::createErrorText(work().file("Endungen.qmk"), row.error) : "");
        if (row.place == Place::Fifo) {
            EXPECT_THROW(loadExtensionList(), files::FileOpenError);  // refused, not waited on
        } else {
            EXPECT_EQ(work().read("Endungen.qmk"), row.after);
        }
        ::unlink(work().file("Endungen.qmk").c_str());
    }
}

}  // namespace
}  // namespace quill
