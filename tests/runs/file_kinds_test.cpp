#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "engine/case_blind_replace.hpp"
#include "files/descriptor.hpp"
#include "files/file_io.hpp"
#include "runs/local_run.hpp"
#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

const std::string kPage = "<a href=\"mailto:x@y.de\">X</a>";

std::string encodedPage() {
    return RunReplacements(StringList{"x@y.de\">X"}).apply(kPage);
}

struct stat statusOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

std::string attribute(const std::string& path, const char* name) {
    char value[256];
    const auto size = ::getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? std::string("<none>") : std::string(value, static_cast<std::size_t>(size));
}

// An access ACL: owner rw, user 33 r, group r, mask r, others nothing.
std::string accessAcl() {
    std::string acl;
    auto put32 = [&acl](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) acl += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        put32(tag | (static_cast<std::uint32_t>(perm) << 16));
        put32(id);
    };
    put32(2);
    entry(0x01, 6, 0xffffffff);
    entry(0x02, 4, 33);
    entry(0x04, 4, 0xffffffff);
    entry(0x10, 4, 0xffffffff);
    entry(0x20, 0, 0xffffffff);
    return acl;
}

struct Kind {
    std::string name;
    bool asNobody;
    // Makes the file to choose; returns its path.
    std::function<std::string(const test::TempFolder&)> make;
    // The run's error, "" for success.
    std::function<std::string(const std::string& path)> error;
    std::function<void(const std::string& path)> check;
};

std::string refusedToOpen(const std::string& path) {
    return files::openErrorText(path, EACCES);
}
std::string success(const std::string&) {
    return "";
}

// Every kind of file a user may choose, with what a run must make of it.
TEST(FileKinds, OnlyRegularFilesAreRewrittenAndKeepWhatTheyWere) {
    const bool root = ::geteuid() == 0;
    auto heldFifo = std::make_shared<files::Descriptor>();
    const std::vector<Kind> kinds = {
        {"FIFO without writer", false,
         [](const test::TempFolder& f) {
             const auto path = f.file("fifo.html");
             EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0);
             return path;
         },
         refusedToOpen, [](const std::string& path) { EXPECT_TRUE(S_ISFIFO(statusOf(path).st_mode)); }},
        {"FIFO with data", false,
         [heldFifo](const test::TempFolder& f) {
             const auto path = f.file("fifo.html");
             EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0);
             *heldFifo = files::Descriptor(::open(path.c_str(), O_RDWR | O_NONBLOCK));
             EXPECT_EQ(::write(heldFifo->get(), kPage.data(), kPage.size()), static_cast<ssize_t>(kPage.size()));
             return path;
         },
         refusedToOpen,
         [heldFifo](const std::string&) {
             char buffer[256];
             const auto got = ::read(heldFifo->get(), buffer, sizeof buffer);
             EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0))), kPage);
         }},
        {"device node", false,
         [](const test::TempFolder& f) {
             const auto path = f.file("null.html");
             EXPECT_EQ(::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
             return path;
         },
         refusedToOpen, [](const std::string& path) { EXPECT_TRUE(S_ISCHR(statusOf(path).st_mode)); }},
        {"link to a file", false,
         [](const test::TempFolder& f) {
             const auto link = f.file("link.html");
             EXPECT_EQ(::symlink(f.write("real.html", kPage).c_str(), link.c_str()), 0);
             return link;
         },
         success,
         [](const std::string& path) {
             EXPECT_TRUE(S_ISLNK(statusOf(path).st_mode));
             EXPECT_EQ(test::readFile(path), encodedPage());
         }},
        {"hard link", false,
         [](const test::TempFolder& f) {
             const auto path = f.write("a.html", kPage);
             EXPECT_EQ(::link(path.c_str(), f.file("b.html").c_str()), 0);
             return path;
         },
         success,
         [](const std::string& path) {
             const std::string other = files::joinPath(path.substr(0, path.rfind('/')), "b.html");
             EXPECT_EQ(statusOf(path).st_ino, statusOf(other).st_ino);
             EXPECT_EQ(statusOf(path).st_nlink, 2u);
             EXPECT_EQ(test::readFile(other), encodedPage());
         }},
        {"ACL and extended attribute", false,
         [](const test::TempFolder& f) {
             const auto path = f.write("acl.html", kPage);
             ::chmod(path.c_str(), 0640);
             const auto acl = accessAcl();
             EXPECT_EQ(::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
             EXPECT_EQ(::setxattr(path.c_str(), "user.origin", "kept", 4, 0), 0);
             return path;
         },
         success,
         [](const std::string& path) {
             EXPECT_EQ(attribute(path, "system.posix_acl_access"), accessAcl());
             EXPECT_EQ(attribute(path, "user.origin"), "kept");
             EXPECT_EQ(statusOf(path).st_mode & 07777, 0640u);
         }},
        {"no ACL in a folder with a default ACL", false,
         [](const test::TempFolder& f) {
             const auto path = f.write("plain/page.html", kPage);
             const auto acl = accessAcl();
             EXPECT_EQ(::setxattr(f.file("plain").c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0), 0);
             return path;
         },
         success, [](const std::string& path) { EXPECT_EQ(attribute(path, "system.posix_acl_access"), "<none>"); }},
        {"set-ID bits", false,
         [](const test::TempFolder& f) {
             const auto path = f.write("setid.html", kPage);
             ::chmod(path.c_str(), 06755);
             return path;
         },
         success, [](const std::string& path) { EXPECT_EQ(statusOf(path).st_mode & 07777, 06755u); }},
        {"name of 250 bytes", false,
         [](const test::TempFolder& f) { return f.write(std::string(245, 'n') + ".html", kPage); }, success,
         [](const std::string&) {}},
        {"read-only folder, writable file", true,
         [](const test::TempFolder& f) {
             const auto path = f.write("locked/page.html", kPage);
             EXPECT_EQ(::chown(path.c_str(), test::kNobody, test::kNobody), 0);
             ::chmod(path.c_str(), 0644);
             ::chmod(f.file("locked").c_str(), 0555);
             return path;
         },
         [](const std::string& path) { return files::createErrorText(path, EACCES); },
         [](const std::string& path) { EXPECT_EQ(test::readFile(path), kPage); }},
        {"another user's group-writable file", true,
         [](const test::TempFolder& f) {
             const auto path = f.write("shared/page.html", kPage);
             EXPECT_EQ(::chown(path.c_str(), 0, test::kNobody), 0);
             ::chmod(path.c_str(), 0664);
             ::chmod(f.file("shared").c_str(), 0777);
             return path;
         },
         success,
         [](const std::string& path) {
             EXPECT_EQ(statusOf(path).st_uid, 0u);
             EXPECT_EQ(statusOf(path).st_gid, test::kNobody);
             EXPECT_EQ(statusOf(path).st_mode & 07777, 0664u);
         }},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        if (!root && (kind.asNobody || kind.name == "device node")) continue;  // needs root to set up
        test::TempFolder folder;
        ::chmod(folder.path().c_str(), 0755);
        const std::string path = kind.make(folder);
        std::optional<test::NobodysFolder> nobodysState;
        if (kind.asNobody) nobodysState.emplace();
        const auto child = test::runInChild([&](const auto& report) {
            if (kind.asNobody && !test::becomeNobody(nobodysState->path())) ::_exit(2);
            try {
                // Chosen as the window and the command line choose: a link resolved once.
                runLocalEncoding(LocalRunParameters::over({files::linkFreePath(path)}));
            } catch (const QuillError& error) {
                report(error.what());
            }
        });
        ASSERT_EQ(child.exitStatus, 0);
        EXPECT_EQ(child.report, kind.error(path));
        if (kind.error(path).empty() && !S_ISLNK(statusOf(path).st_mode)) {
            EXPECT_EQ(test::readFile(path), encodedPage());
        }
        kind.check(path);
        heldFifo->reset();
    }
}

}  // namespace
}  // namespace quill
