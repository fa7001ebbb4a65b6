#include "ftp/pasv_reply.hpp"

#include <gtest/gtest.h>

#include "text/quill_error.hpp"

namespace quill::ftp {
namespace {

struct PasvCase {
    const char* line;
    const char* host;
    int port;
};

TEST(PasvReply, ReadsAddressAndPort) {
    const PasvCase cases[] = {
        {"Entering Passive Mode (10,0,0,5,4,1)", "10.0.0.5", 1025},
        {"Entering Passive Mode 10,0,0,5,4,1", "10.0.0.5", 1025},
        {"  Entering Passive Mode (10,0,0,5,4,1).  ", "10.0.0.5", 1025},
        {"10,0,0,5,4,1", "10.0.0.5", 1025},
        {"=127,0,0,1,255,255 (ignored)", "ignored...", 0},
        {"Entering Passive Mode (127,0,0,2,19,137)", "127.0.0.2", 5001},
        {"Mode (192,168,1,20,0, 21) x", "192.168.1.20", 21},
        {"Mode (1,2,3,4,  4,1)", "1.2.3.4", 1025},
    };
    for (const auto& c : cases) {
        if (std::string(c.host) == "ignored...") {
            // Parentheses win even when they hold no address.
            EXPECT_THROW(parsePasvReply(c.line), ConvertError) << c.line;
            continue;
        }
        const SocketAddress address = parsePasvReply(c.line);
        EXPECT_EQ(address.host, c.host) << c.line;
        EXPECT_EQ(address.port, c.port) << c.line;
    }
}

TEST(PasvReply, FieldErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"(10,0,0,5,x,1)", "'x' ist kein gültiger Integerwert"},
        {"(10,0,0,5,4, y )", "'y' ist kein gültiger Integerwert"},
        {"(10,0,0,5,4 ,1)", "'4 ' ist kein gültiger Integerwert"},
        {"(10,0,0,5)", "'' ist kein gültiger Integerwert"},
        {"Passive", "'' ist kein gültiger Integerwert"},
        {"(10,0,0,5,256,0)", "Fehler bei Bereichsprüfung"},
        {"(10,0,0,5,255,256)", "Fehler bei Bereichsprüfung"},
        {"(10,0,0,5,-1,0)", "Fehler bei Bereichsprüfung"},
        {"(10,0,0,5,99999999,0)", "Fehler bei Bereichsprüfung"},
        {"(127,0,0,1,-1,300)", "Fehler bei Bereichsprüfung"},
        {"(127,0,0,1,1,-1)", "Fehler bei Bereichsprüfung"},
        {"(127,0,0,1,0,0)", "Fehler bei Bereichsprüfung"},
        {"(127,0,256,1,4,1)", "Fehler bei Bereichsprüfung"},
        {"(127,-1,0,1,4,1)", "Fehler bei Bereichsprüfung"},
        {"(127,0,a,1,4,1)", "'a' ist kein gültiger Integerwert"},
    };
    for (const auto& [line, message] : cases) {
        try {
            parsePasvReply(line);
            ADD_FAILURE() << line << " accepted";
        } catch (const QuillError& e) {
            EXPECT_STREQ(e.what(), message) << line;
        }
    }
}

}  // namespace
}  // namespace quill::ftp
