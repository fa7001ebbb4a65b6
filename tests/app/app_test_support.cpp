#include "app_test_support.hpp"

#include "widgets/program_look.hpp"

namespace quill::test {

void WindowTest::SetUp() {
    InTempWorkingFolder::SetUp();
    applyProgramLook();
}

void WindowTest::TearDown() {
    InTempWorkingFolder::TearDown();
}

std::unique_ptr<TMaskerade> WindowTest::makeWindow() const {
    return std::make_unique<TMaskerade>();
}

void WindowTest::writeRemoteRunFiles() const {
    writeWorkFile("Endungen.qmk", "*.html\r\n");
    writeWorkFile("Einstellungen.qmk", "[FTP-Daten]\r\nServer=127.0.0.1\r\nUsername=anna\r\nPasswort=geheim\r\n");
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace quill::test
