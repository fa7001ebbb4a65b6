#include "app/exceptions_dialog.hpp"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/error_report.hpp"
#include "files/file_io.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

constexpr const char* kExplanation =
    "Adressen, die lesbar bleiben sollen (etwa die Kontaktadresse in strukturierten Daten), und Seiten, "
    "die nicht angetastet werden sollen. Je Zeile ein Eintrag; \"#\" beginnt einen Kommentar.\n"
    "Eine Adresse: info@example.org (Groß- und Kleinschreibung egal, auch *@example.org).\n"
    "Ein Pfadmuster: impressum.html oder intern/*.html.\n"
    "Die Prüfung zählt diese Funde nicht, und \"Alle E-Mail-Adressen schützen\" kodiert sie nicht.";

QString fileText(const std::string& path) {
    if (!files::fileExists(path)) return {};
    // Read as the list reads it: UTF-8, else code page 1252.
    QString text = QString::fromUtf8(utf8OrCp1252ToUtf8(files::readWholeFile(path)));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

ExceptionsDialog::ExceptionsDialog(std::string path, QWidget* parent)
    : QDialog(parent), path_(std::move(path)), editor_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("Ausnahmen_Dialog"));
    setWindowTitle(QStringLiteral("Ausnahmen"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(QString::fromUtf8(kExplanation), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    editor_->setObjectName(QStringLiteral("Ausnahmen_Text"));
    editor_->setPlainText(fileText(path_));
    layout->addWidget(editor_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Speichern"), QDialogButtonBox::AcceptRole)->setObjectName("Speichern");
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)->setObjectName("Abbrechen");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        runReporting([this] {
            save();
            accept();
        });
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(460, 320);
}

void ExceptionsDialog::save() {
    QString text = editor_->toPlainText();
    if (!text.isEmpty() && !text.endsWith(u'\n')) text += u'\n';
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    files::replaceFileContents(path_, text.toUtf8().toStdString());
}

}  // namespace quill
