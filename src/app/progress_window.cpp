#include "app/progress_window.hpp"

#include <QCloseEvent>
#include <algorithm>
#include <limits>

#include "ui_progress_window.h"
#include "widgets/program_look.hpp"

namespace quill {

namespace {

// Steps of the bar within one item, where the count leaves room for them.
constexpr std::size_t kStepsPerItem = 1000;

int clampedToBar(std::size_t count) {
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

void ProgressWindow::showProgress(const RunProgressState& state) {
    ui->Schritt->setText(QString::fromUtf8(runStepText(state.step)));
    if (state.total == 0) {
        // An unknown total (the search) shows a busy bar.
        ui->Fortschritt->setRange(0, 0);
    } else {
        const std::size_t perItem = state.total <= std::numeric_limits<int>::max() / kStepsPerItem ? kStepsPerItem : 1;
        std::size_t value = std::min(state.done, state.total) * perItem;
        if (state.done < state.total && state.bytesTotal > 0 && state.bytesDone < state.bytesTotal)
            value += static_cast<std::size_t>(state.bytesDone * perItem / state.bytesTotal);
        // The range first, so the value is never cut to an old, smaller one.
        ui->Fortschritt->setRange(0, clampedToBar(state.total * perItem));
        ui->Fortschritt->setValue(clampedToBar(value));
    }
    if (state.current.empty()) return;
    current_ = QString::fromUtf8(state.current.data(), static_cast<qsizetype>(state.current.size()));
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

int ProgressWindow::barValue() const {
    return ui->Fortschritt->value();
}

int ProgressWindow::barMaximum() const {
    return ui->Fortschritt->maximum();
}

void ProgressWindow::reject() {
    emit cancelRequested();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit cancelRequested();
}

}  // namespace quill
