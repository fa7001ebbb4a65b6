#include "ftp/listing_parsers.hpp"

#include <gtest/gtest.h>

#include <variant>

namespace quill::remote {
void PrintTo(const RemoteEntry& entry, std::ostream* out) {
    *out << "{\"" << entry.name << "\" kind " << static_cast<int>(entry.kind) << " size "
         << (entry.size ? std::to_string(*entry.size) : "-") << " modified " << entry.modified << "}";
}
}  // namespace quill::remote

namespace quill::ftp {
namespace {

using remote::EUnsafeListedName;
using ListingEntry = remote::RemoteEntry;
using EntryKind = remote::RemoteEntry::Kind;

enum class Refusal { Unreadable, UnsafeName };
using Expected = std::variant<std::vector<ListingEntry>, Refusal>;

ListingEntry file(std::string name, std::optional<std::uint64_t> size = std::nullopt, std::string modified = {}) {
    return {std::move(name), EntryKind::File, size, std::move(modified)};
}
ListingEntry folder(std::string name, std::string modified = {}, std::optional<std::uint64_t> size = std::nullopt) {
    return {std::move(name), EntryKind::Folder, size, std::move(modified)};
}
ListingEntry link(std::string name, std::optional<std::uint64_t> size = std::nullopt) {
    return {std::move(name), EntryKind::Link, size, {}};
}

struct ListingCase {
    const char* what;
    ListingFormat format;
    std::string text;
    Expected expected;
};

// Each case is a whole listing as a server might send it, friendly or not.
TEST(ListingParsers, ReadsKnownFormatsAndRefusesHostileOnes) {
    const std::string longName(4097, 'a');
    const std::string longestName(4096, 'b');
    const ListingCase cases[] = {
        {"mlsd facts in any case and order, own and parent folder left out", ListingFormat::Mlsd,
         "type=cdir;modify=20240101000000; /site\r\n"
         "type=pdir; ..\r\n"
         "Size=1234;Type=FILE;Modify=20240315101112.345; index.html\r\n"
         "type=dir;modify=20240102030405; team\r\n"
         "type=OS.unix=slink:/site; loop\r\n"
         "type=file;size=3; name with spaces; and semicolons.html\r\n"
         "type=OS.unix=chr-1/3; null\r\n",
         std::vector<ListingEntry>{file("index.html", 1234, "20240315101112"),
                                   folder("team", "20240102030405"),
                                   link("loop"),
                                   file("name with spaces; and semicolons.html", 3),
                                   {"null", EntryKind::Other, std::nullopt, {}}}},
        {"mlsd with LF only and a size too large to hold", ListingFormat::Mlsd,
         "type=file;size=99999999999999999999999; big.html\n", std::vector<ListingEntry>{file("big.html")}},
        {"mlsd without a type", ListingFormat::Mlsd, "size=12; index.html\r\n", Refusal::Unreadable},
        {"mlsd without facts", ListingFormat::Mlsd, "index.html\r\n", Refusal::Unreadable},
        {"mlsd name climbing out", ListingFormat::Mlsd, "type=file;size=1; ../evil.html\r\n", Refusal::UnsafeName},
        {"mlsd name with a slash", ListingFormat::Mlsd, "type=dir; a/b\r\n", Refusal::UnsafeName},
        {"mlsd name with a backslash", ListingFormat::Mlsd, "type=file; a\\b.html\r\n", Refusal::UnsafeName},
        {"mlsd name with a control byte", ListingFormat::Mlsd, std::string("type=file; a\x01.html\r\n"),
         Refusal::UnsafeName},
        {"mlsd name with a lone CR", ListingFormat::Mlsd, "type=file; a\rb.html\r\n", Refusal::UnsafeName},
        {"mlsd name with a NUL", ListingFormat::Mlsd, std::string("type=file; a\0b.html\r\n", 21), Refusal::UnsafeName},
        {"mlsd name of 4 KiB", ListingFormat::Mlsd, "type=file; " + longestName + "\r\n",
         std::vector<ListingEntry>{file(longestName)}},
        {"mlsd name past 4 KiB", ListingFormat::Mlsd, "type=file; " + longName + "\r\n", Refusal::UnsafeName},
        {"mlsd named parent folder as a file", ListingFormat::Mlsd, "type=file; ..\r\n", std::vector<ListingEntry>{}},

        {"unix listing as ls -la writes it", ListingFormat::List,
         "total 12\r\n"
         "drwxr-xr-x    3 1000     1000         4096 Jan 01 12:00 .\r\n"
         "drwxr-xr-x    3 1000     1000         4096 Jan 01 12:00 ..\r\n"
         "-rw-r--r--    1 owner    group        1234 Mar  5  2024 file name.html\r\n"
         "drwxr-xr-x+   2 owner    group        4096 Dec 31 23:59 team\r\n"
         "lrwxrwxrwx    1 owner    group           7 Jan  1 12:00 loop -> ../loop\r\n"
         "-rw-r--r--    1 jan      12 Feb  2  2023 no group.html\r\n"
         "crw-rw-rw-    1 root     root       1,   3 Jan  1 12:00 null\r\n",
         std::vector<ListingEntry>{file("file name.html", 1234, "20240305000000"),
                                   folder("team", {}, 4096),
                                   link("loop", 7),
                                   file("no group.html", 12, "20230202000000"),
                                   {"null", EntryKind::Other, 3, {}}}},
        {"unix name climbing out", ListingFormat::List, "-rw-r--r-- 1 u g 12 Jan 1 12:00 ../x.html\r\n",
         Refusal::UnsafeName},
        {"unix link whose own name climbs out", ListingFormat::List, "lrwxrwxrwx 1 u g 7 Jan 1 12:00 ../x -> y\r\n",
         Refusal::UnsafeName},
        {"unix line without a date", ListingFormat::List, "-rw-r--r-- 1 u g 12 index.html\r\n", Refusal::Unreadable},
        {"unix line with a bad permission word", ListingFormat::List, "-rw-r--r-Q 1 u g 12 Jan 1 12:00 index.html\r\n",
         Refusal::Unreadable},

        {"dos listing with two- and four-digit years, 12- and 24-hour clocks", ListingFormat::List,
         "01-15-24  10:30AM       <DIR>          team\r\n"
         "01-15-24  02:05PM                 1234 index.html\r\n"
         "12-31-1999  12:00AM                  7 old page.htm\r\n"
         "2024-01-15  14:05                   12 blog.html\r\n"
         "01-15-24  10:30AM       <JUNCTION>     site [C:\\site]\r\n",
         std::vector<ListingEntry>{folder("team", "20240115103000"),
                                   file("index.html", 1234, "20240115140500"),
                                   file("old page.htm", 7, "19991231000000"),
                                   file("blog.html", 12, "20240115140500"),
                                   {"site", EntryKind::Link, std::nullopt, "20240115103000"}}},
        {"dos name climbing out", ListingFormat::List, "01-15-24  10:30AM       <DIR>          ..\\..\r\n",
         Refusal::UnsafeName},
        {"dos line with a month 13", ListingFormat::List, "13-15-24  10:30AM                 12 a.html\r\n",
         Refusal::Unreadable},
        {"unix and dos lines mixed", ListingFormat::List,
         "-rw-r--r-- 1 u g 12 Jan 1 12:00 a.html\r\n01-15-24  10:30AM                 12 b.html\r\n",
         Refusal::Unreadable},
        {"neither format", ListingFormat::List, "index.html\r\nteam\r\n", Refusal::Unreadable},
        {"blank lines only", ListingFormat::List, "\r\n  \r\n", std::vector<ListingEntry>{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (const auto* entries = std::get_if<std::vector<ListingEntry>>(&c.expected)) {
            EXPECT_EQ(parseListing(c.text, c.format), *entries);
        } else if (std::get<Refusal>(c.expected) == Refusal::Unreadable) {
            EXPECT_THROW(parseListing(c.text, c.format), EListingUnreadable);
        } else {
            EXPECT_THROW(parseListing(c.text, c.format), EUnsafeListedName);
        }
    }
}

TEST(ListingParsers, RefusalShowsTheNameReadably) {
    try {
        parseListing(std::string("type=file; a\x07") + std::string(300, 'x') + "\r\n", ListingFormat::Mlsd);
        FAIL() << "no refusal";
    } catch (const EUnsafeListedName& refusal) {
        const std::string text = refusal.what();
        EXPECT_NE(text.find("\"a\\x07xxx"), std::string::npos) << text;
        EXPECT_EQ(text.find('\x07'), std::string::npos);
        EXPECT_LT(text.size(), 500u);
    }
}

}  // namespace
}  // namespace quill::ftp
