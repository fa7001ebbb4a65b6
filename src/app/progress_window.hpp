#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "runs/run_progress.hpp"

namespace Ui {
class ProgressWindow;
}

namespace quill {

// The modal window of a long run: the step, the file being worked on, a bar
// over the files of the step and "Abbrechen". Escape and the close box ask
// for the cancel as the button does; the window stays until the run ends.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent);
    ~ProgressWindow() override;

    void showStep(RunStep step, std::size_t total);
    // current is UTF-8 (a path or a server name).
    void showProgress(std::size_t done, std::size_t total, const std::string& current);
    // After a cancel request: the button is spent and the step says so.
    void showCancelling();

    QString stepText() const;
    QString currentText() const;

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
