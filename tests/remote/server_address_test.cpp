#include "remote/server_address.hpp"

#include <gtest/gtest.h>

#include "text/quill_error.hpp"

namespace quill::ftp {
namespace {

struct AddressCase {
    std::string field;
    RemoteProtocol protocol;
    std::string host;
    std::uint16_t port;
    bool portGiven;
};

class ServerField : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ServerField, NamesProtocolHostAndPort) {
    const AddressCase& c = GetParam();
    const ServerAddress address = parseServerAddress(c.field);
    EXPECT_EQ(address.protocol, c.protocol);
    EXPECT_EQ(address.host, c.host);
    EXPECT_EQ(address.port, c.port);
    EXPECT_EQ(address.portGiven, c.portGiven);
    EXPECT_EQ(selectsSftp(c.field), c.protocol == RemoteProtocol::Sftp);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ServerField,
    ::testing::Values(AddressCase{"sftp://web.example.org", RemoteProtocol::Sftp, "web.example.org", 22, false},
                      AddressCase{"SFTP://web.example.org:2222/", RemoteProtocol::Sftp, "web.example.org", 2222, true},
                      AddressCase{"ftp://127.0.0.1:2121", RemoteProtocol::Ftp, "127.0.0.1", 2121, true},
                      AddressCase{"Ftp://ftp.example.org", RemoteProtocol::Ftp, "ftp.example.org", 21, false},
                      // A plain name stays exactly as typed, colon and all.
                      AddressCase{"ftp.example.org", RemoteProtocol::Ftp, "ftp.example.org", 21, false},
                      AddressCase{"host:99", RemoteProtocol::Ftp, "host:99", 21, false},
                      AddressCase{"sftp:/x", RemoteProtocol::Ftp, "sftp:/x", 21, false}));

TEST(ServerFieldRefusal, SaysWhatIsWrongInGerman) {
    for (const auto& [field, says] :
         std::vector<std::pair<std::string, std::string>>{{"sftp://", "Name des Servers"},
                                                          {"sftp://:22", "Name des Servers"},
                                                          {"sftp://host:0", "Port"},
                                                          {"sftp://host:65536", "Port"},
                                                          {"sftp://host:2x", "Port"},
                                                          {"sftp://host:", "Port"},
                                                          {"ftp://host/htdocs", "Datenverzeichnis"}}) {
        try {
            parseServerAddress(field);
            ADD_FAILURE() << field << " was taken";
        } catch (const QuillError& refused) {
            EXPECT_NE(std::string(refused.what()).find(says), std::string::npos) << field << ": " << refused.what();
        }
    }
}

}  // namespace
}  // namespace quill::ftp
