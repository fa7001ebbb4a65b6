#pragma once

#include <QAbstractButton>
#include <QString>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "app/main_window.hpp"
#include "support/desktop_fake.hpp"
#include "support/temp_folder.hpp"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quill::test {

// A fresh working folder, the desktop faked and the program's look applied.
class WindowTest : public InTempWorkingFolder {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window, which loads the files of the working folder.
    std::unique_ptr<TMaskerade> makeWindow() const;
    // Writes a file of the working folder (bytes as given).
    void writeWorkFile(std::string_view name, std::string_view bytes) const { work().write(name, bytes); }
    std::string workFile(std::string_view name) const { return work().file(name); }
    std::string readWorkFile(std::string_view name) const { return work().read(name); }
    QString workPath(std::string_view name) const { return QString::fromStdString(work().file(name)); }
    // The mask "*.html" and the fields of the page "FTP-Zugriff" for a run
    // against a local server.
    void writeRemoteRunFiles() const;

    InstalledDesktopFake desktop;
};

// The control with the object name, which must exist and be of that class.
template <typename Control>
Control& control(QWidget& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

QString fromUtf8(std::string_view text);

}  // namespace quill::test
