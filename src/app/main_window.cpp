#include "app/main_window.hpp"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <filesystem>
#include <utility>

#include "app/error_report.hpp"
#include "app/single_line_validator.hpp"
#include "files/file_io.hpp"
#include "info/about_box.hpp"
#include "settings/extension_list.hpp"
#include "settings/settings_file.hpp"
#include "text/quill_error.hpp"
#include "ui_main_window.h"
#include "widgets/desktop.hpp"
#include "widgets/desktop_open.hpp"
#include "widgets/program_look.hpp"
#include "widgets/qt_text.hpp"

namespace quill {

namespace {

constexpr std::string_view kHelpFileName = "Quillmaskerade.chm";
constexpr std::string_view kHelpPagesFolder = "Hilfe";

// The memo's own copy, so its CR LF line breaks reach the clipboard.
void copyWholeText(Memo& memo) {
    memo.selectAll();
    memo.copy();
}

// The form cannot carry a CR: its multi-line label texts are kept with LF
// and get the desktop's CR LF here.
void joinLabelLinesByCrLf(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().contains(u'\n')) label->setText(withCrLfBreaks(label->text()));
    }
}

// The fields the user types into hold one line each.
void keepTypedFieldsOnOneLine(Ui::TMaskerade& form, QObject& owner) {
    auto* validator = new SingleLineValidator(&owner);
    for (QLineEdit* field :
         {form.Mail_Edit, form.Betreff_Edit, form.Dateiendung, form.Host, form.User, form.Pass, form.FTPDir})
        field->setValidator(validator);
}

// What a run added to one of the two lists, shown in one go.
void appendShown(StringList& list, QListWidget& box, const StringList& added) {
    list.insert(list.end(), added.begin(), added.end());
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(added.size()));
    for (const auto& entry : added) rows.append(displayText(entry));
    box.addItems(rows);
}

}  // namespace

TMaskerade::TMaskerade(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::TMaskerade>()),
      runner_(*this, {[this](const StringList& paths) { appendShown(foundFiles_, *ui->Dateien_gefunden, paths); },
                      [this](const StringList& texts) { appendShown(foundTexts_, *ui->EMail_gefunden, texts); }}) {
    setFont(programFont());
    std::error_code noFolder;
    startFolder_ = std::filesystem::current_path(noFolder);
    ui->setupUi(this);
    joinLabelLinesByCrLf(*this);
    keepTypedFieldsOnOneLine(*ui, *this);
    setFixedSize(486, 563);
    centreOnScreen();

    connectClick(ui->Go_Mail, &TMaskerade::Go_MailClick);
    connectClick(ui->Copy_Mail, &TMaskerade::Copy_MailClick);
    connectClick(ui->Copy_Link, &TMaskerade::Copy_LinkClick);
    connectClick(ui->Add, &TMaskerade::addClick);
    connectClick(ui->Del, &TMaskerade::DelClick);
    // A click, not a toggle: setting the box at start writes nothing.
    connectClick(ui->Alle_ja, &TMaskerade::Alle_jaClick);
    connectClick(ui->Sicherung_ja, &TMaskerade::Sicherung_jaClick);
    connectClick(ui->Vorschau_ja, &TMaskerade::Vorschau_jaClick);
    connectClick(ui->Ausnahmen, &TMaskerade::AusnahmenClick);
    connectClick(ui->Rueckgaengig, &TMaskerade::RueckgaengigClick);
    connectClick(ui->FTP_Rueckgaengig, &TMaskerade::FTP_RueckgaengigClick);
    connectClick(ui->Dekode, &TMaskerade::DekodeClick);
    connectClick(ui->Help, &TMaskerade::HelpClick);
    connectClick(ui->About, &TMaskerade::AboutClick);
    connectClick(ui->Exit, &TMaskerade::ExitClick);
    connectClick(ui->Datei_kodieren, &TMaskerade::Datei_kodierenClick);
    connectClick(ui->Verzeichnis_suchen, &TMaskerade::Verzeichnis_suchenClick);
    connectClick(ui->Verzeichnis_kodieren, &TMaskerade::Verzeichnis_kodierenClick);
    connectClick(ui->FTP_Go, &TMaskerade::FTP_GoClick);
    connect(ui->FTP_Unterordner, &QCheckBox::toggled, this, &TMaskerade::FTP_UnterordnerToggled);
    connect(ui->Host, &QLineEdit::textChanged, this, &TMaskerade::HostChange);
    // F1 anywhere in the window does what "Hilfe" does.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { runReporting([this] { HelpClick(); }); });

    runReporting([this] { FormCreate(); });
}

TMaskerade::~TMaskerade() = default;

void TMaskerade::connectClick(QAbstractButton* button, void (TMaskerade::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, [this, handler] {
        runReporting([&] { (this->*handler)(); });
        // A close asked for during a run comes once the run's boxes are closed.
        if (std::exchange(closeAfterRun_, false)) close();
    });
}

void TMaskerade::centreOnScreen() {
    if (const QScreen* screen = this->screen()) move(screen->geometry().center() - rect().center());
}

void TMaskerade::closeEvent(QCloseEvent* event) {
    if (runner_.running()) {
        runner_.requestCancel();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

void TMaskerade::FormCreate() {
    ui->Endungen->setEntries(loadExtensionList());

    const settings::SettingsFile file;
    const settings::MailFields mail = file.mail();
    ui->Mail_Edit->setText(fromSettingsText(mail.address));
    ui->Betreff_Edit->setText(fromSettingsText(mail.subject));
    const settings::FtpFields ftpFields = file.ftp();
    ui->Host->setText(fromCp1252(ftpFields.host));
    ui->User->setText(fromCp1252(ftpFields.user));
    ui->Pass->setText(fromCp1252(ftpFields.password));
    ui->FTPDir->setText(fromCp1252(ftpFields.folder));
    ui->Passiv->setChecked(ftpFields.passive);
    ui->TLS_ja->setChecked(ftpFields.tls);
    ui->FTP_Unterordner->setChecked(ftpFields.subfolders);
    ui->Alle_ja->setChecked(file.protectAll());
    ui->Sicherung_ja->setChecked(file.backup());
    ui->Vorschau_ja->setChecked(file.preview());
}

void TMaskerade::HelpClick() {
    const QString helpFile = QString::fromStdString(files::inCurrentFolder(kHelpFileName));
    const OpenResult compiled = desktop().shellOpen(helpFile);
    if (compiled.opened) return;
    // Few desktops can show the compiled help; the same pages as HTML can go
    // to the browser.
    const QString pages = QString::fromStdString(
        (std::filesystem::path(files::inCurrentFolder(kHelpPagesFolder)) / "index.html").string());
    const OpenResult browsed = desktop().shellOpen(pages);
    if (browsed.opened) return;
    throw QuillError(QStringLiteral("Die Hilfe kann nicht geöffnet werden.\r\n%1\r\n%2")
                         .arg(notOpenedLine(helpFile, compiled), notOpenedLine(pages, browsed))
                         .toStdString());
}

void TMaskerade::AboutClick() {
    if (aboutBox_ != nullptr) aboutBox_->exec();
}

void TMaskerade::ExitClick() {
    close();
}

void TMaskerade::Copy_MailClick() {
    copyWholeText(*ui->Kodiert_Memo);
}

void TMaskerade::Copy_LinkClick() {
    copyWholeText(*ui->Link_Memo);
}

}  // namespace quill
