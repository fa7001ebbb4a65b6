#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <utility>

#include "remote/remote_run.hpp"
#include "remote/remote_undo.hpp"
#include "remote/server_connection.hpp"
#include "runs/encoding_runs.hpp"
#include "runs/run_backup.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

class RemoteBackupRealServer : public test::InTempWorkingFolder {};

// A remote run keeps the server's pages before it uploads them; the undo puts
// back every page still as the run left it, and leaves one edited since.
TEST_F(RemoteBackupRealServer, UndoRestoresTheServersPages) {
    const test::PyftpdlibServer server;
    const std::string index = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    const std::string team = "<p>mailto: team</p>\r\n";
    server.root().write("web/index.html", index);
    server.root().write("web/team.html", team);
    const std::string old = "<a href=\"mailto:c@b.de\">Alt</a>\r\n";
    server.root().write("web/alt.html", old);
    const auto client = remote::serverConnection(server.port());

    RemoteRunFields fields{"127.0.0.1", "quill", "geheim", "\\web", true, false};
    EncodingRuns runs;
    StringList fileBox;
    RemoteRunView view{[](const RunOutcome&) {}, [] {}};
    view.backupRoot = backupsFolder();
    FTP_Go(*client, fields, {"*.html"}, runs, fileBox, view);
    ASSERT_NE(server.root().read("web/index.html"), index);
    ASSERT_NE(server.root().read("web/team.html"), team);

    const std::vector<KeptRun> kept = keptRuns(backupsFolder());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].kind, RunKind::Remote);
    EXPECT_EQ(kept[0].place, "127.0.0.1");
    EXPECT_EQ(kept[0].serverFolder, "/web");
    ASSERT_EQ(kept[0].files.size(), 3u);

    server.root().write("web/team.html", "von Hand");
    server.root().write("web/alt.html", old);  // as a page whose upload failed
    fields.host = "anderer.example";
    EXPECT_THROW(undoRemoteRun(*client, fields, kept[0]), QuillError);  // another server: nothing touched
    fields.host = "127.0.0.1";
    const UndoResult result = undoRemoteRun(*client, fields, kept[0]);
    EXPECT_EQ(result.restored, std::vector<std::string>{"index.html"});
    EXPECT_EQ(result.leftAlone,
              (std::vector<std::string>{"alt.html: hat schon den alten Inhalt", "team.html: seit dem Lauf geändert"}));
    EXPECT_EQ(server.root().read("web/index.html"), index);
    EXPECT_EQ(server.root().read("web/team.html"), "von Hand");
    EXPECT_FALSE(client->connected());
    EXPECT_TRUE(keptRuns(backupsFolder())[0].undone);
}

// With a preview the run stops before the first change: "Abbrechen" leaves
// the server's pages and the backups as they were, "Kodieren" uploads what a
// run without preview uploads. The preview names each page by its server path.
TEST_F(RemoteBackupRealServer, ThePreviewDecidesBeforeAnythingIsUploaded) {
    const std::string index = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    const std::string plain = "<p>Nur Text</p>\r\n";
    const auto runOnce = [&](std::optional<bool> answer, std::vector<PreviewFile>* shown) {
        const test::PyftpdlibServer server;
        server.root().write("web/index.html", index);
        server.root().write("web/ohne.html", plain);
        const auto client = remote::serverConnection(server.port());
        RemoteRunFields fields{"127.0.0.1", "quill", "geheim", "/web", true, false};
        EncodingRuns runs;
        StringList fileBox;
        RemoteRunView view{[](const RunOutcome&) {}, [] {}};
        view.backupRoot = backupsFolder();
        if (answer)
            view.confirmChanges = [&](const std::vector<PreviewFile>& changes) {
                *shown = changes;
                return *answer;
            };
        FTP_Go(*client, fields, {"*.html"}, runs, fileBox, view);
        return std::pair(server.root().read("web/index.html"), server.root().read("web/ohne.html"));
    };

    std::vector<PreviewFile> shown;
    EXPECT_EQ(runOnce(false, &shown), std::pair(index, plain));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].path, "index.html");
    EXPECT_EQ(shown[0].before, index);
    EXPECT_TRUE(keptRuns(backupsFolder()).empty());
    EXPECT_TRUE(!std::filesystem::exists(remoteWorkFolder()) || std::filesystem::is_empty(remoteWorkFolder()));

    const auto plainRun = runOnce(std::nullopt, nullptr);
    ASSERT_NE(plainRun.first, index);
    EXPECT_EQ(runOnce(true, &shown), plainRun);
    EXPECT_EQ(shown[0].after, plainRun.first);
    EXPECT_EQ(keptRuns(backupsFolder()).size(), 2u);
}

}  // namespace
}  // namespace quill::ftp
