#pragma once

#include <QWidget>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/background_run.hpp"
#include "runs/change_preview.hpp"
#include "runs/local_run.hpp"
#include "runs/run_backup.hpp"

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
    // The server port of the page "FTP-Zugriff", 0 for the protocol's own
    // (tests point it at their server).
    void setServerPort(std::uint16_t port) { serverPort_ = port; }
    // The folder the program was started in (by default the one the window
    // was made in); a link page written elsewhere is named to the user.
    void setStartFolder(std::filesystem::path folder) { startFolder_ = std::move(folder); }

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
    void Sicherung_jaClick();
    void Vorschau_jaClick();
    void AusnahmenClick();
    void RueckgaengigClick();
    void FTP_RueckgaengigClick();
    void DekodeClick();
    void FTP_GoClick();
    // The page's note on sub-folders says what the box chooses.
    void FTP_UnterordnerToggled(bool on);
    // "Passiv-Modus" and "Verschlüsselt (FTPS)" mean nothing to SFTP: they
    // rest while the server field names it, their states kept.
    void HostChange();
    void HelpClick();
    void AboutClick();
    void ExitClick();

    // How long a run may last before the progress window shows.
    void setProgressDelay(std::chrono::milliseconds delay) { runner_.setProgressDelay(delay); }
    BackgroundRun& backgroundRun() { return runner_; }

protected:
    // Closing the main window ends the program, whatever else is open. During
    // a run it cancels the run first and closes when the run has stopped.
    void closeEvent(QCloseEvent* event) override;

private:
    // Binds a click to a handler; an exception that escapes the handler ends
    // it and goes to the error box, without unwinding through Qt.
    void connectClick(QAbstractButton* button, void (TMaskerade::*handler)());
    void centreOnScreen();
    // Shows the working state of the runs in the two list boxes.
    void showRunLists();
    void showRunOutcome(const RunOutcome& outcome);
    // Runs work on the worker thread, which reports to runner_. After a
    // cancel it shows the state (showState) and the cancel box, and returns
    // false.
    bool runInBackground(const std::function<void()>& work, const std::function<void()>& showState);
    // A local encoding run over files in place, with the found texts listed:
    // with "Vorschau" the changes are shown first and nothing is written
    // unless the user says "Kodieren"; with "Sicherung" the originals are
    // kept (place names the run in its log). The run on the worker, then the
    // closing box and the audit's box.
    void encodeInBackground(const StringList& files, const std::string& place);
    // Shows the changes of a run; true for "Kodieren".
    bool confirmChanges(const std::vector<PreviewFile>& changes);
    // The kept run of that kind the user chooses, if any.
    std::optional<KeptRun> chooseKeptRun(RunKind kind);
    void showUndoResult(const UndoResult& result);

    std::unique_ptr<Ui::TMaskerade> ui;
    TAboutBox* aboutBox_ = nullptr;
    // The working state the runs share, as the two list boxes show it: runs
    // get copies, and what they add comes back through runner_.
    StringList foundFiles_;
    StringList foundTexts_;
    std::uint16_t serverPort_ = 0;
    std::filesystem::path startFolder_;
    // The worker of the runs; it reports to the two list boxes.
    BackgroundRun runner_;
    bool closeAfterRun_ = false;
};

}  // namespace quill
