#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "runs/run_progress.hpp"

namespace Ui {
class ProgressWindow;
}

namespace quill {

// One moment of a run, as the progress window shows it.
struct RunProgressState {
    RunStep step = RunStep::Searching;
    std::size_t done = 0;   // items of the step finished
    std::size_t total = 0;  // 0: not known beforehand (a busy bar)
    std::string current;    // the item in hand (UTF-8); empty between items
    // Of the item in hand, where it tells them (items over 1 MB).
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

// The modal window of a long run: the step, the file being worked on, a bar
// over the files of the step and "Abbrechen". Escape and the close box ask
// for the cancel as the button does; the window stays until the run ends.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent);
    ~ProgressWindow() override;

    // Step, bar and name change together. Between two items and at the end
    // of a step the last item stays named, so the step text never stands
    // without one; the bar counts each item and the share done of a large one.
    void showProgress(const RunProgressState& state);
    // After a cancel request: the button is spent and the step says so.
    void showCancelling();

    QString stepText() const;
    QString currentText() const;
    // The bar's value and maximum (0 for a busy bar).
    int barValue() const;
    int barMaximum() const;

signals:
    void cancelRequested();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::ProgressWindow> ui;
    QString current_;
};

}  // namespace quill
