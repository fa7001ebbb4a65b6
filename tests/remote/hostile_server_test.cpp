// Whole remote runs against servers that misbehave: each ends with the
// expected message within a bound, and leaves the server's pages whole.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>

#include "ftp/ftp_client.hpp"
#include "remote/remote_replace.hpp"
#include "remote/remote_run.hpp"
#include "runs/encoding_runs.hpp"
#include "support/scripted_ftp_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

using namespace quill::test;
using Clock = std::chrono::steady_clock;

constexpr int kBoundMs = 1000;
// Start-up, login and the steps around the misbehaviour, on a loaded machine.
constexpr int kSlackMs = 900;

const std::string kPage = "<a href=\"mailto:a@b.de\">Mail</a>";
const std::string kStranger = "<a href=\"mailto:evil@x.de\">Evil</a>";

// What a page on the server holds afterwards.
enum class Left { Old, Encoded };

struct Hostile {
    const char* name;
    bool passive;
    std::function<void(ScriptedFtpServer&)> script;
    std::string errorStart;  // empty: the run succeeds
    int bounds;              // the run ends within this many bounds
    std::map<std::string, Left> pages;
    StringList masks = {"*.html"};
};

std::string countText(std::size_t number) {
    return std::to_string(number);
}

const Hostile kHostile[] = {
    {"ActiveFinalReplyWithoutDataConnection",
     false,
     [](ScriptedFtpServer& s) {
         s.once("RETR", {replyLine("150 Opening"), replyLine("226 Sent")});
     },
     "Connect timed out.",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"ActiveRefusalWithoutDataConnection",
     false,
     [](ScriptedFtpServer& s) {
         s.once("RETR", {replyLine("150 Opening"), replyLine("425 No data connection")});
     },
     "No data connection\r\n",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"ActiveServerSilentAfterOpening",
     false,
     [](ScriptedFtpServer& s) { s.once("RETR", {replyLine("150 Opening")}); },
     "Connect timed out.",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"ActiveStrangerReachesTheDataPortFirst",
     false,
     [](ScriptedFtpServer& s) {
         s.once("RETR", {replyLine("150 Opening"), strangerData(kStranger), pause(100), openData(), sendData(kPage),
                         closeData(), replyLine("226 Sent")});
     },
     "",
     1,
     {{"a.html", Left::Encoded}, {"b.html", Left::Encoded}}},
    {"PassiveReplyNamesAnotherHost",
     true,
     [](ScriptedFtpServer& s) { s.setAnnouncedPassiveAddress("127.0.0.2"); },
     "",
     1,
     {{"a.html", Left::Encoded}, {"b.html", Left::Encoded}}},
    {"PassivePortFieldsOutOfRange",
     true,
     [](ScriptedFtpServer& s) { s.always("PASV", {replyLine("227 Entering Passive Mode (127,0,0,1,-1,300)")}); },
     "Fehler bei Bereichsprüfung",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"PassivePortZero",
     true,
     [](ScriptedFtpServer& s) { s.always("PASV", {replyLine("227 Entering Passive Mode (127,0,0,1,0,0)")}); },
     "Fehler bei Bereichsprüfung",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"ReplyDripsInSlowerThanTheBound",
     true,
     [](ScriptedFtpServer& s) { s.once("NLST", {drip("150 Opening data connection now\r\n", 100)}); },
     "Read Timeout",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"DataTricklesBelowTheMinimumRate",
     true,
     [](ScriptedFtpServer& s) {
         s.once("RETR", {replyLine("150 Opening"), openData(), dripData(std::string(200, 'x'), 40)});
     },
     "Read Timeout",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"SilentAfterTheListCommand",
     true,
     [](ScriptedFtpServer& s) { s.once("NLST", {}); },
     "Read Timeout",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"NameLongerThanTheLimit",
     false,
     [](ScriptedFtpServer& s) { s.once("NLST", transferOut("a.html\r\n" + std::string(5000, 'n'))); },
     "Die Namensliste des Servers enthält einen Namen, der länger als 4096 Bytes ist: \"" + std::string(100, 'n') +
         "...\"",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"ListingLargerThanTheLimit",
     true,
     [](ScriptedFtpServer& s) {
         s.once("NLST", {replyLine("150 Opening"), openData(), sendDataRepeated(std::string(1000, 'n') + "\r\n", 70000),
                         closeData(), replyLine("226 Sent")});
     },
     // Moving 64 MiB over loopback alone takes seconds on a loaded machine.
     "Die Namensliste des Servers ist größer als 64 MiB und wird nicht gelesen.",
     15,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    // Each list stays under the bound; together they pass it.
    {"ListingsOfAllMasksTogetherLargerThanTheLimit",
     true,
     [](ScriptedFtpServer& s) {
         for (int i = 0; i < 2; ++i)
             s.once("NLST",
                    {replyLine("150 Opening"), openData(), sendDataRepeated(std::string(1000, 'n') + "\r\n", 40000),
                     closeData(), replyLine("226 Sent")});
     },
     "Die Namensliste des Servers ist größer als 64 MiB und wird nicht gelesen.",
     4,
     {{"a.html", Left::Old}, {"b.html", Left::Old}},
     {"*.html", "*.htm"}},
    {"SizeAnnouncesMoreThanArrives",
     true,
     [](ScriptedFtpServer& s) { s.once("RETR", transferOut(kPage.substr(0, 10))); },
     "Die Datei \"a.html\" wurde nicht richtig übertragen: 10 Bytes angekommen, " + countText(kPage.size()) +
         " Bytes angekündigt.",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"OpeningReplyAnnouncesMoreThanArrives",
     false,
     [](ScriptedFtpServer& s) {
         s.once("FEAT", {sendRaw("211-Features:\r\n MDTM\r\n211 End\r\n")});
         s.once("RETR", {replyLine("150 Opening BINARY mode data connection for a.html (999 bytes)"), openData(),
                         sendData(kPage), closeData(), replyLine("226 Sent")});
     },
     "Die Datei \"a.html\" wurde nicht richtig übertragen: " + countText(kPage.size()) +
         " Bytes angekommen, 999 Bytes angekündigt.",
     1,
     {{"a.html", Left::Old}, {"b.html", Left::Old}}},
    {"ConnectionDropsDuringTheSecondUpload",
     true,
     [](ScriptedFtpServer& s) {
         s.once("STOR", transferIn());
         s.once("STOR", {replyLine("150 Opening"), openData(), closeControl()});
     },
     "Die Datei \"b.html\" konnte nicht hochgeladen werden:\r\nConnection Closed Gracefully.\r\n\r\n"
     "Hochgeladen: \"a.html\"\r\nNicht hochgeladen, auf dem Server unverändert: \"b.html\"",
     1,
     {{"a.html", Left::Encoded}, {"b.html", Left::Old}}},
    {"RenameOntoAnExistingNameRefused",
     true,
     [](ScriptedFtpServer& s) { s.setRenameOntoExisting(false); },
     "",
     1,
     {{"a.html", Left::Encoded}, {"b.html", Left::Encoded}}},
    {"NoRenameAtAll",
     false,
     [](ScriptedFtpServer& s) { s.always("RNFR", {replyLine("502 Command not implemented.")}); },
     "",
     1,
     {{"a.html", Left::Encoded}, {"b.html", Left::Encoded}}},
};

class HostileServer : public InTempWorkingFolder, public ::testing::WithParamInterface<Hostile> {};

TEST_P(HostileServer, RunEndsInTimeAndLeavesEveryPageWhole) {
    const Hostile& row = GetParam();
    // The encoded form is what an undisturbed run uploads.
    const std::string encoded = [] {
        ScriptedFtpServer reference;
        reference.putFile("a.html", kPage);
        TFTPClient plain;
        plain.Port = reference.port();
        RemoteRunFields f{"127.0.0.1", "anna", "geheim", "", true};
        EncodingRuns r;
        StringList box;
        FTP_Go(plain, f, {"*.html"}, r, box, {[](const RunOutcome&) {}, [] {}});
        return reference.files().at("a.html");
    }();
    ASSERT_NE(encoded, kPage);

    ScriptedFtpServer server;
    server.putFile("a.html", kPage);
    server.putFile("b.html", kPage);
    row.script(server);

    TFTPClient client;
    client.Port = server.port();
    client.ConnectTimeout = client.ReadTimeout = client.TransferTimeout = client.AcceptTimeout = kBoundMs;
    RemoteRunFields fields{"127.0.0.1", "anna", "geheim", "", row.passive};
    EncodingRuns runs;
    StringList fileBox;
    RemoteRunView view{[](const RunOutcome&) {}, [] {}};

    std::string error;
    const auto start = Clock::now();
    try {
        FTP_Go(client, fields, row.masks, runs, fileBox, view);
    } catch (const QuillError& failure) {
        error = failure.what();
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();

    if (row.errorStart.empty()) {
        EXPECT_EQ(error, "");
    } else {
        EXPECT_EQ(error.substr(0, row.errorStart.size()), row.errorStart) << error;
    }
    EXPECT_LT(elapsed, row.bounds * kBoundMs + kSlackMs);

    std::map<std::string, Left> pages;
    for (const auto& [name, contents] : server.files()) {
        EXPECT_FALSE(isTemporaryUploadName(name)) << "left behind: " << name;
        if (contents == kPage) {
            pages[name] = Left::Old;
        } else if (contents == encoded) {
            pages[name] = Left::Encoded;
        } else {
            ADD_FAILURE() << name << " damaged: " << contents.substr(0, 200);
        }
    }
    EXPECT_EQ(pages, row.pages);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, HostileServer, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill::ftp
