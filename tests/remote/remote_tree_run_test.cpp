// Remote runs over sub-folders against servers whose listings are hostile.
#include <gtest/gtest.h>

#include <algorithm>

#include "remote_run_harness.hpp"
#include "support/recording_observer.hpp"
#include "support/scripted_ftp_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

using namespace quill::test;

const std::string kPage = "<a href=\"mailto:a@b.de\">Mail</a>";

// Bases are made in order: the server before the run that needs its port.
struct WithScriptedServer {
    ScriptedFtpServer server;
};

class RemoteTreeRun : public InTempWorkingFolder, protected WithScriptedServer, protected RemoteRunHarness {
protected:
    RemoteTreeRun() : RemoteRunHarness(server.port()) {
        fields = {"127.0.0.1", "anna", "geheim", "/site", true, false, true};
        server.always("FEAT", {sendRaw("211-Features:\r\n MLST type*;size*;modify*;\r\n SIZE\r\n211 End\r\n")});
        server.always("PWD", {replyLine("257 \"/site\" is the current folder")});
        server.putFile("index.html", kPage);
    }

    // Whether the server was asked for a page or told to change one since
    // the first commands.
    bool touchedAnyPage(std::size_t from = 0) const {
        const auto commands = server.commands();
        for (std::size_t i = from; i < commands.size(); ++i) {
            const std::string& command = commands[i];
            for (const char* verb : {"RETR", "STOR", "APPE", "RNFR", "RNTO", "DELE", "MKD", "RMD"})
                if (command.rfind(verb, 0) == 0) return true;
        }
        return false;
    }
};

TEST_F(RemoteTreeRun, HostileListingsEndTheRunBeforeAnyPageIsFetchedOrChanged) {
    struct HostileCase {
        const char* what;
        Script listing;
        const char* named;  // in the failure
    };
    const HostileCase cases[] = {
        {"a name climbing out", transferOut("type=file;size=31; index.html\r\ntype=file;size=31; ../index.html\r\n"),
         "../index.html"},
        {"a folder named by a path", transferOut("type=dir; sub/../../etc\r\n"), "sub/../../etc"},
        {"a listing past 64 MiB", transferOut(std::string()), "64 MiB"},
        {"a listing in no known format", transferOut("index.html\r\n"), "unbekanntes Format"},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t from = server.commands().size();
        if (std::string(c.named) == "64 MiB") {
            const std::string line = "type=file;size=31; a.html\r\n";
            server.once("MLSD", {replyLine("150 Here it comes"), openData(),
                                 sendDataRepeated(line, static_cast<int>((64u << 20) / line.size() + 1)), closeData(),
                                 replyLine("226 Done")});
        } else {
            server.once("MLSD", c.listing);
        }
        const std::string failure = runFailure({"*.html"});
        EXPECT_NE(failure.find(c.named), std::string::npos) << failure;
        EXPECT_FALSE(touchedAnyPage(from));
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(fileBox.empty());
        // The connection is closed, so the next run starts afresh.
        EXPECT_TRUE(server.waitForConnectionsEnded(++run));
    }
}

TEST_F(RemoteTreeRun, CancelWhileListingLeavesTheServerAsItWas) {
    server.always("MLSD", transferOut("type=dir; a\r\ntype=dir; b\r\ntype=file;size=31; index.html\r\n"));
    RecordingObserver observer;
    observer.cancelAt = RecordingObserver::CancelPoint{RunStep::Searching, 0};
    runs.observer = &observer;
    EXPECT_THROW(FTP_Go(client, fields, {"*.html"}, runs, fileBox, view), RunCancelled);
    const auto commands = server.commands();
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(), [](const std::string& c) { return c == "MLSD"; }), 1);
    EXPECT_FALSE(touchedAnyPage());
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace quill::ftp
