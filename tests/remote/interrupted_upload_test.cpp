// Remote runs killed at each step of their uploads, then run again, against
// a server that renames onto no existing name (proftpd, overwriting off) and
// one that takes no file under a temporary name. However a run ends, every
// page is its old or its new text, or its new text lies ready for the next
// run, which finishes it and reports what it found.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "ftp/ftp_client.hpp"
#include "net/socket_ops.hpp"
#include "remote/remote_replace.hpp"
#include "remote/remote_run.hpp"
#include "runs/encoding_runs.hpp"
#include "runs/local_run.hpp"
#include "support/child_process.hpp"
#include "support/hook_scopes.hpp"
#include "support/proftpd_server.hpp"
#include "support/scripted_ftp_server.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

constexpr int kKilled = 9;

// Large enough that an upload takes several pieces.
std::string page(char filler) {
    std::string text = "<a href=\"mailto:a@b.de\">Mail</a>\r\n";
    for (int line = 0; line < 3000; ++line) text += std::string(70, filler) + "\r\n";
    return text;
}

std::string encoded(const std::string& original) {
    const test::TempFolder local;
    const std::string path = local.write("seite.html", original);
    runLocalEncoding(LocalRunParameters::over({path}));
    return local.read("seite.html");
}

// Where a run is killed: before the nth command line that begins with the
// prefix is sent, or before the nth piece of file data.
struct KillPoint {
    const char* name;
    std::string commandPrefix;  // empty: a piece of file data
    int occurrence;
};

// A page goes up in seven pieces; each kill point is reached by its server.
const KillPoint kProftpdKills[] = {
    {"BeforeTheFirstStore", "STOR ", 1},    {"WhileTheFirstPageGoesUp", "", 2},  {"BeforeTheFirstRename", "RNFR ", 1},
    {"AfterThePageWasDeleted", "RNFR ", 2}, {"WhileTheSecondPageGoesUp", "", 9},
};
const KillPoint kRefusingKills[] = {
    {"BeforeThePageIsWrittenInPlace", "STOR a.html", 1},
    {"WhileTheFirstPageIsWrittenInPlace", "", 2},
    {"WhileTheSecondPageIsWrittenInPlace", "", 9},
};

// The server under test: its files and how to reach it.
class Target {
public:
    virtual ~Target() = default;
    virtual std::uint16_t port() const = 0;
    virtual Files files() const = 0;
    virtual void put(const std::string& name, const std::string& contents) = 0;
};

class ProftpdTarget : public Target {
public:
    std::uint16_t port() const override { return server_.port(); }
    Files files() const override {
        Files result;
        for (const auto& entry : fs::directory_iterator(server_.root()))
            result[entry.path().filename().string()] = test::readFile(entry.path().string());
        return result;
    }
    void put(const std::string& name, const std::string& contents) override {
        test::writeFile(server_.root() + "/" + name, contents);
    }

private:
    test::ProftpdServer server_;
};

class RefusingTarget : public Target {
public:
    RefusingTarget() { server_.setRefusedStorePrefix(".quill-upload-"); }
    std::uint16_t port() const override { return server_.port(); }
    Files files() const override { return server_.files(); }
    void put(const std::string& name, const std::string& contents) override { server_.putFile(name, contents); }

private:
    test::ScriptedFtpServer server_;
};

struct Row {
    const char* target;
    KillPoint kill;
};

std::vector<Row> rows() {
    std::vector<Row> result;
    for (const auto& kill : kProftpdKills) result.push_back({"Proftpd", kill});
    for (const auto& kill : kRefusingKills) result.push_back({"RefusesTemporaryNames", kill});
    return result;
}

class InterruptedUpload : public test::InTempWorkingFolder, public ::testing::WithParamInterface<Row> {
protected:
    void SetUp() override {
        test::InTempWorkingFolder::SetUp();
        if (std::string(GetParam().target) == "Proftpd") {
            if (!test::ProftpdServer::available()) GTEST_SKIP() << "proftpd needs root and scripts/deps";
            target = std::make_unique<ProftpdTarget>();
        } else {
            target = std::make_unique<RefusingTarget>();
        }
        for (const auto& [name, filler] : {std::pair{"a.html", 'a'}, std::pair{"b.html", 'b'}}) {
            old[name] = page(filler);
            fresh[name] = encoded(old[name]);
            target->put(name, old[name]);
        }
    }

    // One run; the messages it showed.
    std::vector<std::string> run() {
        TFTPClient client;
        client.Port = target->port();
        client.ReadTimeout = client.TransferTimeout = client.AcceptTimeout = 10000;
        RemoteRunFields fields{"127.0.0.1", "quill", "geheim", "", true};
        EncodingRuns runs;
        StringList fileBox;
        std::vector<std::string> messages;
        FTP_Go(client, fields, {"*.html"}, runs, fileBox,
               {[&](const RunOutcome& message) { messages.push_back(message.text); }, [] {}});
        return messages;
    }

    std::unique_ptr<Target> target;
    Files old;
    Files fresh;
};

TEST_P(InterruptedUpload, EveryPageIsOldOrNewAndEveryLeftoverIsReported) {
    const KillPoint& kill = GetParam().kill;
    const test::ChildResult child = test::runInChild([&](const auto&) {
        int seen = 0;
        const test::SocketFaultScope killer([&](SocketCall call, std::string_view bytes) {
            if (call != SocketCall::Send) return 0;
            const bool command = bytes.size() < 1024 && bytes.substr(bytes.size() - 2) == "\r\n";
            const bool match = kill.commandPrefix.empty() ? !command : bytes.rfind(kill.commandPrefix, 0) == 0;
            if (match && ++seen == kill.occurrence) ::_exit(kKilled);
            return 0;
        });
        run();
    });
    ASSERT_EQ(child.exitStatus, kKilled) << "the run was not killed where planned";

    // Right after the kill: each page old or new, or its new text ready.
    const Files afterKill = target->files();
    StringList leftovers;
    for (const auto& [name, contents] : afterKill) {
        if (!pageOfTemporaryUpload(name)) continue;
        leftovers.push_back(name);
        const std::string page = *pageOfTemporaryUpload(name);
        if (afterKill.count(page) == 0) {
            EXPECT_EQ(contents, fresh[page]) << name << " stands in for a missing page";
        }
    }
    for (const auto& [name, original] : old) {
        const auto found = afterKill.find(name);
        if (found == afterKill.end() || found->second == original || found->second == fresh[name]) continue;
        // Written in place and cut off: its new text waits in the work folder.
        bool kept = false;
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(remoteWorkFolder(), error))
            kept = kept || (entry.is_regular_file() && test::readFile(entry.path().string()) == fresh[name]);
        EXPECT_TRUE(kept) << name << " is partial and nothing keeps its new text";
        leftovers.push_back(name);
    }

    const std::vector<std::string> messages = run();
    const Files afterNext = target->files();
    for (const auto& [name, contents] : afterNext) EXPECT_FALSE(isTemporaryUploadName(name)) << name;
    for (const auto& [name, text] : fresh) {
        ASSERT_EQ(afterNext.count(name), 1u) << name;
        EXPECT_TRUE(afterNext.at(name) == text) << name << " is not its new text";
    }
    std::string shown;
    for (const auto& message : messages) shown += message + "\n";
    for (const auto& leftover : leftovers) {
        const std::string named = pageOfTemporaryUpload(leftover) && afterKill.count(*pageOfTemporaryUpload(leftover))
                                      ? leftover
                                      : pageOfTemporaryUpload(leftover).value_or(leftover);
        EXPECT_NE(shown.find(named), std::string::npos) << named << " not reported in:\n" << shown;
    }
    if (std::string(GetParam().target) == "RefusesTemporaryNames") {
        // Written in place by this run, or finished after the kill: either way said.
        EXPECT_NE(shown.find("irekt überschrieben"), std::string::npos) << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(Kills, InterruptedUpload, ::testing::ValuesIn(rows()),
                         [](const auto& info) { return std::string(info.param.target) + info.param.kill.name; });

}  // namespace
}  // namespace quill::ftp
