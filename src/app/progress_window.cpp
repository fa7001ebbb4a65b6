#include "app/progress_window.hpp"

#include <QCloseEvent>
#include <limits>

#include "widgets/program_look.hpp"
#include "ui_progress_window.h"

namespace quill {

namespace {

int barValue(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::ProgressWindow>()) {
    setFont(programFont());
    ui->setupUi(this);
    setFixedSize(size());
    setWindowModality(Qt::ApplicationModal);
    ui->Datei->setTextFormat(Qt::PlainText);
    connect(ui->Abbrechen, &QAbstractButton::clicked, this, &ProgressWindow::reject);
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::showStep(RunStep step, std::size_t total) {
    ui->Schritt->setText(QString::fromUtf8(runStepText(step)));
    showProgress(0, total, std::string());
}

void ProgressWindow::showProgress(std::size_t done, std::size_t total, const std::string& current) {
    // An unknown total (the search) shows a busy bar.
    ui->Fortschritt->setRange(0, barValue(total));
    ui->Fortschritt->setValue(total == 0 ? 0 : barValue(done));
    current_ = QString::fromUtf8(current.data(), static_cast<qsizetype>(current.size()));
    ui->Datei->setText(ui->Datei->fontMetrics().elidedText(current_, Qt::ElideMiddle, ui->Datei->width()));
}

void ProgressWindow::showCancelling() {
    ui->Schritt->setText(QString::fromUtf8("Der Vorgang wird abgebrochen…"));
    ui->Abbrechen->setEnabled(false);
}

QString ProgressWindow::stepText() const {
    return ui->Schritt->text();
}

QString ProgressWindow::currentText() const {
    return current_;
}

void ProgressWindow::reject() {
    emit cancelRequested();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit cancelRequested();
}

}  // namespace quill
