#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "encoding/encoding_runs.hpp"
#include "encoding/mailto_scanner.hpp"
#include "ftp/ftp_client.hpp"

class QAbstractButton;

namespace Ui {
class TMaskerade;
}

namespace quill {

class TAboutBox;

// The main window: five pages for encoding one address, local files and an
// FTP folder, the extension list and decoding. Its handlers are split over
// one file per page.
class TMaskerade : public QWidget {
    Q_OBJECT
public:
    // Builds the window from its form and runs FormCreate; an exception from
    // FormCreate is shown at once and the rest of the loading skipped.
    explicit TMaskerade(QWidget* parent = nullptr);
    ~TMaskerade() override;

    void setAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }

    // The window's controls, by the names of its definition.
    Ui::TMaskerade& form() { return *ui; }
    // The FTP client of the page "FTP-Zugriff" (tests point it at their server).
    ftp::TFTPClient& ftpClient() { return FTPGet; }

    void FormCreate();
    void Go_MailClick();
    void Copy_MailClick();
    void Copy_LinkClick();
    void Datei_kodierenClick();
    void Verzeichnis_suchenClick();
    void Verzeichnis_kodierenClick();
    void addClick();
    void DelClick();
    void Alle_jaClick();
    void DekodeClick();
    void FTP_GoClick();
    void HelpClick();
    void AboutClick();
    void ExitClick();
    void ParserKeyFound(THTMLParser& Sender, const std::string& Key, const std::string& Results,
                        const std::string& OriginalLine);

protected:
    // Closing the main window ends the program, whatever else is open.
    void closeEvent(QCloseEvent* event) override;

private:
    // Binds a click to a handler; an exception that escapes the handler ends
    // it and goes to the error box, without unwinding through Qt.
    void connectClick(QAbstractButton* button, void (TMaskerade::*handler)());
    void centreOnScreen();
    // Shows the working state of the runs in the two list boxes.
    void showRunLists();
    void showRunOutcome(const RunOutcome& outcome);
    // The box after a local run when addresses stay readable in its files.
    void showAuditOf(const StringList& files);

    std::unique_ptr<Ui::TMaskerade> ui;
    TAboutBox* aboutBox_ = nullptr;
    // The found-files and found-addresses lists with the scanner Parser.
    EncodingRuns runs_;
    ftp::TFTPClient FTPGet;
};

}  // namespace quill
