#include "remote/certificate_pins.hpp"

#include <gtest/gtest.h>

#include "settings/ini_file.hpp"
#include "settings/settings_file.hpp"
#include "support/temp_folder.hpp"

namespace quill::ftp {
namespace {

const std::string kOld(64, 'A');
const std::string kNew = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";

struct PinCase {
    const char* name;
    const char* stored;  // nullptr: nothing stored for the host
    std::string offered;
    bool answer;
    int questions;
    bool changedWarning;
    bool trusted;
    std::string storedAfter;
};

class CertificatePins : public test::InTempWorkingFolder, public ::testing::WithParamInterface<PinCase> {};

TEST_P(CertificatePins, AskOnlyAboutACertificateNotStoredForItsHost) {
    const PinCase& c = GetParam();
    IniFile ini(settingsFilePath());
    ini.writeString("FTP-Zertifikate", "other.example", kNew);
    if (c.stored != nullptr) ini.writeString("FTP-Zertifikate", "FTP.example.org", c.stored);

    std::vector<std::string> asked;
    const CertificateTrust trust = pinnedCertificateTrust([&](const std::string& question) {
        asked.push_back(question);
        return c.answer;
    });
    EXPECT_EQ(trust("ftp.example.org", {c.offered, "Das Zertifikat ist abgelaufen."}), c.trusted);

    ASSERT_EQ(static_cast<int>(asked.size()), c.questions);
    if (!asked.empty()) {
        const std::string& question = asked[0];
        EXPECT_EQ(question.rfind("Achtung: Das Zertifikat dieses Servers hat sich geändert!", 0) == 0,
                  c.changedWarning);
        EXPECT_NE(question.find("\"ftp.example.org\""), std::string::npos);
        EXPECT_NE(question.find("Das Zertifikat ist abgelaufen."), std::string::npos);
        EXPECT_NE(question.find("01:23:45:67:89:AB:CD:EF:01:23"), std::string::npos);
        EXPECT_TRUE(question.ends_with("Diesem Zertifikat trotzdem vertrauen?"));
    }
    EXPECT_EQ(ini.readString("FTP-Zertifikate", "ftp.example.org", ""), c.storedAfter);
    EXPECT_EQ(ini.readString("FTP-Zertifikate", "other.example", ""), kNew);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CertificatePins,
    ::testing::Values(PinCase{"first_yes", nullptr, kNew, true, 1, false, true, kNew},
                      PinCase{"first_no", nullptr, kNew, false, 1, false, false, ""},
                      PinCase{"stored", kNew.c_str(), kNew, false, 0, false, true, kNew},
                      PinCase{"stored_by_hand_with_colons",
                              "01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:"
                              "67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef",
                              kNew, false, 0, false, true,
                              "01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:"
                              "ab:cd:ef"},
                      PinCase{"changed_yes", kOld.c_str(), kNew, true, 1, true, true, kNew},
                      PinCase{"changed_no", kOld.c_str(), kNew, false, 1, true, false, kOld}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill::ftp
