#include "remote/host_key_pins.hpp"

#include <gtest/gtest.h>

#include "settings/settings_file.hpp"
#include "sftp/sftp_errors.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

const sftp::HostKey kOffered{"ssh-ed25519", "SHA256:u4kJd9rYqXQ0mKf0m0h2Yk0n0b1cLxw3mZr8oK0aQ2E"};
const std::string kOther = "ssh-ed25519 SHA256:Zz0000000000000000000000000000000000000000000";

struct HostKeyCase {
    const char* name;
    std::string stored;  // "" when nothing is
    bool answer;
    int questions;
    bool trusted;  // false with refused: raises
    bool refused;
    std::string storedAfter;
};

class HostKeyPins : public test::InTempWorkingFolder, public ::testing::WithParamInterface<HostKeyCase> {};

TEST_P(HostKeyPins, AskOnlyAboutAKeyNeitherStoredNorChanged) {
    const HostKeyCase& c = GetParam();
    settings::SettingsFile file;
    file.setHostKey("web.example.org:2222", kOther);  // another port is another server
    if (!c.stored.empty()) file.setHostKey("web.example.org:22", c.stored);

    std::vector<std::string> asked;
    const sftp::HostKeyTrust trust = pinnedHostKeyTrust([&](const std::string& question) {
        asked.push_back(question);
        return c.answer;
    });
    if (c.refused) {
        try {
            trust("web.example.org:22", kOffered);
            ADD_FAILURE() << "a changed key was taken";
        } catch (const sftp::EHostKeyRefused& refusal) {
            const std::string text = refusal.what();
            EXPECT_NE(text.find(kOffered.fingerprint), std::string::npos) << text;
            EXPECT_NE(text.find(c.stored.substr(c.stored.find(' ') + 1)), std::string::npos) << text;
        }
    } else {
        EXPECT_EQ(trust("web.example.org:22", kOffered), c.trusted);
    }

    ASSERT_EQ(static_cast<int>(asked.size()), c.questions);
    if (!asked.empty()) {
        EXPECT_NE(asked[0].find("ssh-ed25519"), std::string::npos);
        EXPECT_NE(asked[0].find(kOffered.fingerprint), std::string::npos);
        EXPECT_TRUE(asked[0].ends_with("Diesem Serverschlüssel trotzdem vertrauen?"));
    }
    EXPECT_EQ(file.hostKey("web.example.org:22"), c.storedAfter);
    EXPECT_EQ(file.hostKey("web.example.org:2222"), kOther);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostKeyPins,
    ::testing::Values(HostKeyCase{"UnknownYes", "", true, 1, true, false, kOffered.text()},
                      HostKeyCase{"UnknownNo", "", false, 1, false, false, ""},
                      HostKeyCase{"Stored", kOffered.text(), false, 0, true, false, kOffered.text()},
                      HostKeyCase{"Changed", kOther, true, 0, false, true, kOther}),
    [](const ::testing::TestParamInfo<HostKeyCase>& info) { return std::string(info.param.name); });

TEST(HostKeySection, IsWrittenInTheFilesCodePage) {
    test::TempFolder folder;
    settings::SettingsFile file(folder.file("Einstellungen.qmk"));
    file.setHostKey("h:22", kOffered.text());
    EXPECT_EQ(folder.read("Einstellungen.qmk"), "[SSH-Schl\xFCssel]\r\nh:22=" + kOffered.text() + "\r\n");
}

}  // namespace
}  // namespace quill::ftp
