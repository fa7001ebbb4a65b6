#include "remote/remote_run.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "addresses/address_audit.hpp"
#include "files/file_io.hpp"
#include "ftp/ftp_client.hpp"
#include "net/ftp_errors.hpp"
#include "remote/remote_names.hpp"
#include "runs/encoding_runs.hpp"
#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "support/hook_scopes.hpp"
#include "support/recording_observer.hpp"
#include "support/scripted_ftp_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

using namespace quill::test;

const std::string kLink = "<a href=\"mailto:a@b.de\">Mail</a>";
const std::string kEncodedLink =
    "<a href=\"&#109&#97&#105&#108&#116&#111&#58&#97&#64&#98&#46&#100&#101\">&#77&#97&#105&#108</a>";

// A run against the scripted server, from a fresh working folder, with the
// window's side recorded.
class RemoteRun : public InTempWorkingFolder {
protected:
    RemoteRun() {
        client.Port = server.port();
        client.ConnectTimeout = 5000;
        client.ReadTimeout = 5000;
        client.TransferTimeout = 5000;
        client.AcceptTimeout = 5000;
        fields = {"127.0.0.1", "anna", "geheim", "", true};
        view.showMessage = [this](const RunOutcome& message) {
            messages.push_back(message.text);
            commandsAtMessage = server.commands();
        };
        view.refresh = [this] { ++refreshes; };
    }

    void run(const StringList& masks) { FTP_Go(client, fields, masks, runs, fileBox, view); }

    std::vector<std::string> verbsAfterLogin() const {
        auto all = server.commands();
        const auto syst = std::find(all.begin(), all.end(), "SYST");
        return {syst == all.end() ? all.begin() : syst + 1, all.end()};
    }

    std::string setting(std::string_view key, std::string_view fallback = "<none>") const {
        return IniFile(settingsFilePath()).readString("FTP-Daten", key, fallback);
    }

    ScriptedFtpServer server;
    TFTPClient client;
    EncodingRuns runs;
    RemoteRunFields fields;
    StringList fileBox;
    RemoteRunView view;
    std::vector<std::string> messages;
    std::vector<std::string> commandsAtMessage;
    int refreshes = 0;
};

TEST_F(RemoteRun, EmptyRequiredFieldStopsBeforeAnythingIsWrittenOrSent) {
    for (auto blank : {&RemoteRunFields::host, &RemoteRunFields::user, &RemoteRunFields::password}) {
        fields = {"127.0.0.1", "anna", "geheim", "/web", false};
        fields.*blank = "";
        fileBox = {"alt.html"};
        run({"*.html"});
    }
    EXPECT_EQ(messages, std::vector<std::string>(3, kMissingFieldsMessage));
    EXPECT_FALSE(files::fileExists(settingsFilePath()));
    EXPECT_EQ(fileBox, StringList{"alt.html"});
    EXPECT_TRUE(server.commands().empty());
}

// The command line has the password in memory; the run must not put it on disk.
TEST_F(RemoteRun, ACallerThatKeepsTheFieldsGetsNoSettingsFile) {
    view.saveFields = false;
    server.once("NLST", transferOut("index.html\r\n"));
    server.once("RETR", transferOut(kLink));
    run({"*.html"});
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), "Die E-Mail-Adressen wurden erfolgreich kodiert!");
    EXPECT_FALSE(files::fileExists(settingsFilePath()));
}

// Temporary uploads an interrupted run left: one whose page is missing is the
// complete new text and takes the page's place, one beside its page goes,
// and a name not of the program's pattern is left alone. Each is reported.
TEST_F(RemoteRun, LeftoverUploadsAreFinishedOrRemovedAndReported) {
    const std::string complete = ".quill-upload-0a1b2c3d-neu.html.tmp";
    const std::string beside = ".quill-upload-ffffffff-alt.html.tmp";
    const std::string foreign = ".quill-upload-fremd.tmp";
    server.putFile(complete, kEncodedLink);
    server.putFile("alt.html", kEncodedLink);
    server.putFile(beside, "halb");
    server.putFile(foreign, "x");
    run({"*.html"});
    const auto files = server.files();
    EXPECT_EQ(files.count(complete), 0u);
    EXPECT_EQ(files.count(beside), 0u);
    EXPECT_EQ(files.at("neu.html"), kEncodedLink);
    EXPECT_EQ(files.at("alt.html"), kEncodedLink);
    EXPECT_EQ(files.at(foreign), "x");
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.front().find("\"neu.html\""), std::string::npos) << messages.front();
    EXPECT_NE(messages.front().find("\"" + beside + "\""), std::string::npos) << messages.front();
    EXPECT_EQ(messages.front().find(foreign), std::string::npos) << messages.front();
}

TEST_F(RemoteRun, EncodesUploadsAfterTheMessageAndCleansUp) {
    fields.folder = "\\htdocs\\web";
    fields.passive = false;
    server.once("NLST", transferOut("index.html\r\nleer.html\r\n"));
    server.once("RETR", transferOut(kLink + "\r\nSchreiben Sie an MAILTO:a@b.de\r\n"));
    server.once("RETR", transferOut("Kein Link hier\r\n"));
    run({"*.html"});

    EXPECT_EQ(fields.folder, "/htdocs/web");
    EXPECT_EQ(setting("Verzeichnis"), "\\htdocs\\web");
    EXPECT_EQ(setting("Server"), "127.0.0.1");
    EXPECT_EQ(setting("Username"), "anna");
    EXPECT_EQ(setting("Passwort"), "geheim");
    EXPECT_EQ(setting("Passiv"), "Nein");
    EXPECT_EQ(fileBox, (StringList{"index.html", "leer.html"}));
    // The bare address stays readable (below), and the audit says so, naming the server file.
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Die E-Mail-Adressen wurden erfolgreich kodiert!");
    EXPECT_EQ(messages[1].substr(0, messages[1].find("\r\n", messages[1].find("\r\n") + 2)),
              "Nach dem Kodieren sind noch 1 E-Mail-Adressen lesbar:\r\nindex.html:2: a@b.de");

    const auto verbs = verbsAfterLogin();
    // A look for what an interrupted run left; then each page goes up under a
    // temporary name and is renamed over the old one.
    const std::vector<std::string> expected = {"CWD /htdocs/web",
                                               "TYPE A",
                                               "PORT",
                                               "NLST .quill-upload-*.tmp",
                                               "TYPE I",
                                               "TYPE A",
                                               "PORT",
                                               "NLST *.html",
                                               "TYPE I",
                                               "SIZE index.html",
                                               "PORT",
                                               "RETR index.html",
                                               "SIZE leer.html",
                                               "PORT",
                                               "RETR leer.html",
                                               "PORT",
                                               "STOR .quill-upload-",
                                               "SIZE .quill-upload-",
                                               "RNFR .quill-upload-",
                                               "RNTO index.html",
                                               "PORT",
                                               "STOR .quill-upload-",
                                               "SIZE .quill-upload-",
                                               "RNFR .quill-upload-",
                                               "RNTO leer.html"};
    ASSERT_EQ(verbs.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(verbs[i].rfind(expected[i], 0), 0u) << verbs[i];
    // Nothing was stored before the user closed the messages.
    for (const auto& line : commandsAtMessage) EXPECT_NE(line.rfind("STOR", 0), 0u) << line;

    const auto uploads = server.uploads();
    ASSERT_EQ(uploads.size(), 2u);
    // The found text is the address with the tag's end and the link text, so
    // the bare address stays; only its "MAILTO:" is encoded, in its own letters.
    EXPECT_EQ(uploads[0], kEncodedLink + "\r\nSchreiben Sie an &#77&#65&#73&#76&#84&#79&#58a@b.de\r\n");
    EXPECT_EQ(uploads[1], "Kein Link hier\r\n");
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_TRUE(std::filesystem::is_empty(remoteWorkFolder()));
    EXPECT_TRUE(runs.foundFiles.empty());
    EXPECT_TRUE(runs.foundAddresses.empty());
}

TEST_F(RemoteRun, NothingFoundUploadsNothingButStillCleansUp) {
    server.once("NLST", transferOut("a.html\r\n"));
    server.once("RETR", transferOut("<p>kein Link</p>"));
    run({"*.html"});
    EXPECT_EQ(messages, std::vector<std::string>{"Es wurden keine unkodierten E-Mail-Adressen gefunden!"});
    EXPECT_TRUE(server.uploads().empty());
    EXPECT_FALSE(files::fileExists(localCopyPath("a.html")));
    EXPECT_EQ(fileBox, StringList{"a.html"});
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
}

TEST_F(RemoteRun, TheOptionEncodesPlainAddressesOfTheCopiesAndTheAuditComesBeforeTheUpload) {
    runs.protectAll = true;
    const std::string page = "<p>Impressum: info@example.de</p><script>s='js@example.de'</script>";
    server.once("NLST", transferOut("index.html\r\n"));
    server.once("RETR", transferOut(page));
    run({"*.html"});

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Die E-Mail-Adressen wurden erfolgreich kodiert!");
    EXPECT_EQ(messages[1].substr(0, messages[1].find("\r\n", messages[1].find("\r\n") + 2)),
              "Nach dem Kodieren sind noch 1 E-Mail-Adressen lesbar:\r\nindex.html:1: js@example.de");
    for (const auto& line : commandsAtMessage) EXPECT_NE(line.rfind("STOR", 0), 0u) << line;
    EXPECT_EQ(server.uploads(), std::vector<std::string>{protectAllAddresses(page)});
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
}

TEST_F(RemoteRun, EmptyFolderFieldAndEmptyMaskListSendNoCwdAndNoList) {
    run({});
    for (const auto& line : server.commands()) {
        EXPECT_NE(line.rfind("CWD", 0), 0u);
        if (line != "NLST .quill-upload-*.tmp") {
            EXPECT_NE(line.rfind("NLST", 0), 0u) << line;
        }
    }
    EXPECT_EQ(messages, std::vector<std::string>{"Es wurden keine unkodierten E-Mail-Adressen gefunden!"});
}

TEST_F(RemoteRun, AddressesLeftByALocalRunTakePartAndEveryFileIsUploaded) {
    runs.foundAddresses.add("x@y.de\">x");
    server.once("NLST", transferOut("plain.html\r\n"));
    server.once("RETR", transferOut("Ohne Adresse"));
    run({"*.html"});
    EXPECT_EQ(messages, std::vector<std::string>{"Die E-Mail-Adressen wurden erfolgreich kodiert!"});
    EXPECT_EQ(server.uploads(), std::vector<std::string>{"Ohne Adresse"});
    EXPECT_TRUE(runs.foundAddresses.empty());
}

// The plain list is filtered by the rule of the local search: "*.htm" also
// keeps longer extensions that begin with "htm", "*.html" no shorter one.
TEST_F(RemoteRun, RefusedPatternFallsBackToAPlainListFilteredByTheMask) {
    server.once("NLST", {replyLine("450 No files found")});
    server.once("NLST", transferOut("a.htm\r\n.\r\n..\r\nindex.html\r\nC.HTM\r\nnotiz.txt\r\nhtm\r\n"));
    server.once("NLST", {replyLine("550 Pattern not supported")});
    server.once("NLST", transferOut(".\r\n..\r\nb.html\r\nalt.htm\r\n"));
    server.always("RETR", transferOut("x"));
    run({"*.htm", "*.html"});
    EXPECT_EQ(fileBox, (StringList{"a.htm", "index.html", "C.HTM", "b.html"}));
    std::vector<std::string> lists;
    for (const auto& line : server.commands()) {
        if (line.rfind("NLST", 0) == 0 && line != "NLST .quill-upload-*.tmp") lists.push_back(line);
    }
    EXPECT_EQ(lists, (std::vector<std::string>{"NLST *.htm", "NLST", "NLST *.html", "NLST"}));
}

TEST_F(RemoteRun, ListRefusedTwiceEndsTheRunWithTheServerTextAndClosesTheConnection) {
    server.always("NLST", {replyLine("550 Permission denied")});
    try {
        run({"*.html"});
        FAIL() << "no error";
    } catch (const EReplyError& e) {
        EXPECT_EQ(std::string(e.what()), "Permission denied\r\n");
    }
    EXPECT_TRUE(server.waitForConnectionsEnded(1));
    EXPECT_FALSE(client.Connected());
}

TEST_F(RemoteRun, NamesThatWouldLeaveTheWorkFolderAreRefusedAndNamed) {
    server.once("NLST",
                transferOut("../boese.html\r\n/etc/x.html\r\nsub/y.html\r\nok.html\r\n..\r\n\r\na\\b.html\r\n"));
    server.always("RETR", transferOut("<a href=\"mailto:q@r.de\">q</a>"));
    run({""});
    EXPECT_EQ(fileBox, StringList{"ok.html"});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0],
              "Folgende Dateinamen des Servers wurden nicht bearbeitet, weil sie aus dem Ordner \"FTP-Inhalt\" "
              "hinausführen würden oder leer sind:\r\n\"../boese.html\"\r\n\"/etc/x.html\"\r\n\"sub/y.html\"\r\n"
              "\"..\"\r\n\"\"\r\n\"a\\b.html\"");
    for (const auto& line : server.commands()) {
        if (line.rfind("RETR", 0) == 0 || line.rfind("RNTO", 0) == 0) {
            EXPECT_EQ(line.substr(5), "ok.html");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(work().path() + "/boese.html"));
}

TEST_F(RemoteRun, RefusedLoginShowsTheServerTextAndTheNextRunConnectsCleanly) {
    server.once("PASS", {replyLine("530 Login incorrect.")});
    try {
        run({"*.html"});
        FAIL() << "no error";
    } catch (const EReplyError& e) {
        EXPECT_EQ(std::string(e.what()), "Login incorrect.\r\n");
    }
    EXPECT_NO_THROW(run({}));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Es wurden keine unkodierten E-Mail-Adressen gefunden!");
}

TEST_F(RemoteRun, FailureMidwayKeepsCopiesAndListsAndTheNextRunStartsCleanly) {
    server.once("NLST", transferOut("a.html\r\nb.html\r\n"));
    server.once("RETR", transferOut(kLink));
    server.once("RETR", {replyLine("150 Opening"), openData(), sendData("<a hr"), closeControl()});
    EXPECT_THROW(run({"*.html"}), EFTPError);
    EXPECT_EQ(fileBox, (StringList{"a.html", "b.html"}));
    EXPECT_EQ(test::readFile(localCopyPath("a.html")), kLink);
    EXPECT_FALSE(client.Connected());

    server.once("NLST", transferOut("a.html\r\n"));
    server.once("RETR", transferOut(kLink));
    EXPECT_NO_THROW(run({"*.html"}));
    EXPECT_EQ(server.uploads(), std::vector<std::string>{kEncodedLink});
}

TEST_F(RemoteRun, FailedUploadNamesTheFileAndWhatBecameOfEachPage) {
    server.once("NLST", transferOut("a.html\r\nb.html\r\nc.html\r\n"));
    server.always("RETR", transferOut(kLink));
    server.once("STOR", transferIn());
    // Neither the temporary name nor, after that, the page's own may be written.
    server.always("STOR", {replyLine("553 Could not create file.")});
    try {
        run({"*.html"});
        FAIL() << "no error";
    } catch (const EFTPError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Die Datei \"b.html\" konnte nicht hochgeladen werden:\r\nCould not create file.\r\n\r\n"
                  "Hochgeladen: \"a.html\"\r\nNicht hochgeladen, auf dem Server vielleicht unvollständig: \"b.html\""
                  "\r\nNicht hochgeladen, auf dem Server unverändert: \"c.html\"\r\nDie kodierten Kopien der nicht "
                  "hochgeladenen Dateien liegen im Ordner \"" +
                      remoteWorkFolder() + "\".");
    }
    // The copies not uploaded stay for the user, as do both lists and FileBox.
    EXPECT_EQ(fileBox, (StringList{"a.html", "b.html", "c.html"}));
    EXPECT_FALSE(files::fileExists(localCopyPath("a.html")));
    EXPECT_EQ(test::readFile(localCopyPath("b.html")), kEncodedLink);
    EXPECT_EQ(test::readFile(localCopyPath("c.html")), kEncodedLink);
    EXPECT_EQ(runs.foundAddresses.items(), StringList{"a@b.de\">Mail"});
    EXPECT_FALSE(client.Connected());
}

TEST_F(RemoteRun, ALeftOverTemporaryUploadIsNeverTakenForAPage) {
    server.putFile("a.html", kLink);
    server.putFile(".quill-upload-1-0-0.tmp", kLink);
    run({"*"});
    EXPECT_EQ(fileBox, StringList{"a.html"});
    const auto files = server.files();
    EXPECT_EQ(files.at(".quill-upload-1-0-0.tmp"), kLink);
    EXPECT_EQ(files.at("a.html"), kEncodedLink);
    EXPECT_EQ(files.size(), 2u);
}

// Servers that list every ".html" page for "*.htm" too: one page, one transfer each way.
TEST_F(RemoteRun, ANameListedByTwoMasksIsHandledOnce) {
    server.always("NLST", transferOut("a.html\r\n"));
    server.always("RETR", transferOut(kLink));
    run({"*.htm", "*.html", "a*"});
    EXPECT_EQ(fileBox, StringList{"a.html"});
    const auto commands = server.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "RETR a.html"), 1);
    EXPECT_EQ(server.uploads(), std::vector<std::string>{kEncodedLink});
    EXPECT_EQ(messages, std::vector<std::string>{"Die E-Mail-Adressen wurden erfolgreich kodiert!"});
    EXPECT_FALSE(files::fileExists(localCopyPath("a.html")));
}

// Files in "FTP-Inhalt" besides this run's copies (a sub-folder, a copy kept
// by a failed run) are not this run's: whatever the sub-folder switch, they
// lend no addresses and are neither rewritten nor removed.
TEST_F(RemoteRun, OnlyTheCopiesJustDownloadedAreScannedAndRewritten) {
    const std::string leftOver = "<a href=\"mailto:o@p.de\">O</a>";
    const std::string inSub = "<a href=\"mailto:s@t.de\">S</a>";
    const std::string rest = " an s@t.de\">S und o@p.de\">O";
    for (const bool subfolders : {true, false}) {
        work().write("FTP-Inhalt/alt.html", leftOver);
        work().write("FTP-Inhalt/sub/extra.html", inSub);
        runs.includeSubfolders = subfolders;
        server.putFile("a.html", kLink + rest);
        const std::size_t before = server.uploads().size();
        run({"*.html"});
        ASSERT_EQ(server.uploads().size(), before + 1) << subfolders;
        EXPECT_EQ(server.uploads().back(), kEncodedLink + rest) << subfolders;
        EXPECT_EQ(work().read("FTP-Inhalt/alt.html"), leftOver);
        EXPECT_EQ(work().read("FTP-Inhalt/sub/extra.html"), inSub);
        EXPECT_FALSE(files::fileExists(localCopyPath("a.html")));
        EXPECT_TRUE(runs.foundFiles.empty());
    }
}

// Wherever the user cancels, every server page is either untouched or fully
// encoded, the copies are gone and the connection is closed; the user learns
// how many pages were uploaded.
TEST_F(RemoteRun, ACancelLeavesEveryServerPageOldOrNewAndCleansUp) {
    const StringList names = {"a.html", "b.html", "c.html"};
    const std::pair<RunStep, std::size_t> points[] = {
        {RunStep::Downloading, 0}, {RunStep::Downloading, 2}, {RunStep::Scanning, 1},
        {RunStep::Encoding, 0},    {RunStep::Uploading, 0},   {RunStep::Uploading, 1},
    };
    for (const auto& [step, during] : points) {
        SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(step) << ", item " << during);
        for (const auto& name : names) server.putFile(name, kLink);
        RecordingObserver observer;
        observer.cancelAt = RecordingObserver::CancelPoint{step, during};
        runs.observer = &observer;
        messages.clear();
        const std::size_t uploaded = step == RunStep::Uploading ? during + 1 : 0;
        try {
            run({"*.html"});
            FAIL() << "not cancelled";
        } catch (const RunCancelled& cancelled) {
            EXPECT_EQ(cancelled.step(), RunStep::Uploading);
            EXPECT_EQ(cancelled.finished(), uploaded);
            EXPECT_EQ(cancelled.unfinished(), StringList(names.begin() + uploaded, names.end()));
        }
        const auto pages = server.files();
        EXPECT_EQ(pages.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(pages.at(names[i]), i < uploaded ? kEncodedLink : kLink) << names[i];
        EXPECT_EQ(messages.size(), step == RunStep::Uploading ? 1u : 0u);
        for (const auto& name : names) EXPECT_FALSE(files::fileExists(localCopyPath(name))) << name;
        EXPECT_TRUE(runs.foundFiles.empty());
        EXPECT_TRUE(runs.foundAddresses.empty());
        EXPECT_EQ(fileBox, names);
        EXPECT_FALSE(client.Connected());
    }
    runs.observer = nullptr;
}

// A page over 1 MB tells how far it is once per MB in every step; a small
// one only counts as one item.
TEST_F(RemoteRun, APageOverOneMegabyteReportsItsBytesOncePerMegabyte) {
    const std::string big = kLink + std::string(3 * 1024 * 1024 + 512 * 1024, 'x');
    server.putFile("a.html", kLink);
    server.putFile("b.html", big);
    RecordingObserver observer;
    runs.observer = &observer;
    run({"*.html"});
    runs.observer = nullptr;
    ASSERT_EQ(fileBox, (StringList{"a.html", "b.html"}));
    const std::uint64_t encodedSize = server.files().at("b.html").size();
    // Going down and going up; the scan reads the copy, the rewrite has its bytes in hand.
    EXPECT_TRUE(observer.reportedOncePerMegabyte(RunStep::Downloading, 1, big.size()));
    EXPECT_TRUE(observer.reportedOncePerMegabyte(RunStep::Scanning, 1, big.size()));
    EXPECT_TRUE(observer.reportedOncePerMegabyte(RunStep::Encoding, 1, 1));
    EXPECT_TRUE(observer.reportedOncePerMegabyte(RunStep::Uploading, 1, encodedSize));
}

// The run reads each copy from disk once: scan, rewrite and audit work on
// the bytes in hand, and which copies changed is known without reading them.
TEST_F(RemoteRun, EachCopyIsReadOnce) {
    server.putFile("a.html", kLink);
    server.putFile("b.html", "<p>nichts</p>");
    std::map<std::string, int> reads;
    {
        const test::FileFaultScope count([&](files::FileStep step, const std::string& path) {
            if (step == files::FileStep::OpenRead) ++reads[path];
            return 0;
        });
        run({"*.html"});
    }
    EXPECT_EQ(reads, (std::map<std::string, int>{{localCopyPath("a.html"), 1}, {localCopyPath("b.html"), 1}}));
    EXPECT_EQ(server.files().at("a.html"), kEncodedLink);
}

TEST(RemoteNames, OnlyPlainNamesAreSafe) {
    const std::pair<const char*, bool> cases[] = {
        {"index.html", true}, {".htaccess", true}, {"a b.html", true}, {"", false},    {".", false},
        {"..", false},        {"../x", false},     {"/x", false},      {"a/b", false}, {"a\\b", false},
    };
    for (const auto& [name, safe] : cases) EXPECT_EQ(isSafeRemoteName(name), safe) << name;
}

}  // namespace
}  // namespace quill::ftp
