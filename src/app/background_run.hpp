#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "app/progress_window.hpp"
#include "runs/run_progress.hpp"

class QWidget;

namespace quill {

// Runs the work of one click on a worker thread while the window thread keeps
// its event loop turning, so the window paints and its lists grow. The window
// takes no input meanwhile; a run that lasts longer than the delay shows the
// modal progress window, which can cancel it.
//
// The worker reaches the window only through this object: its observer calls
// and window calls are queued and handled on the window thread in the order
// they were made. The worker never touches a widget.
class BackgroundRun : public QObject, public RunObserver {
    Q_OBJECT
public:
    // Called on the window thread with the files and found texts a run
    // added since the last call, in order: a list grows in batches, so the
    // window costs a run little however many there are.
    struct Listener {
        std::function<void(const StringList& paths)> filesFound;
        std::function<void(const StringList& foundTexts)> addressesAdded;
    };

    BackgroundRun(QWidget& window, Listener listener);
    ~BackgroundRun() override;

    // Runs the work and returns when it has ended, the progress window gone.
    // An exception of the work (RunCancelled too) is raised again here.
    void run(const std::function<void()>& work);
    bool running() const { return running_; }

    // From the worker: runs call on the window thread and returns when it has
    // ended (a modal box, say); its exception is raised again on the worker.
    // The progress window is hidden meanwhile.
    void onWindowThread(const std::function<void()>& call);

    // Asks the run to stop at its next safe point.
    void requestCancel();

    void setProgressDelay(std::chrono::milliseconds delay) { delay_ = delay; }
    // The progress window while it is shown, otherwise nullptr.
    ProgressWindow* progressWindow() const;

    // RunObserver: called on the worker.
    void stepStarted(RunStep step, std::size_t total) override;
    void progress(std::size_t done, std::size_t total, const std::string& current) override;
    void itemProgress(std::uint64_t bytesDone, std::uint64_t bytesTotal) override;
    void fileFound(const std::string& path) override;
    void addressAdded(const std::string& foundText) override;
    bool cancelRequested() const override { return cancel_.load(); }

protected:
    // Keeps user input away from the window while a run goes on.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Worker side: queues a call for the window thread.
    void post(std::function<void()> call);
    // With mutex_ held: makes sure a drain is queued.
    void wakeLocked();
    // Window side: runs the queued calls, then shows the latest progress.
    // Lists and progress alone wait until kShowEvery has passed since the
    // last turn, so a busy worker does not keep the window thread painting.
    void drain();
    void showProgressWindow();
    void hideProgressWindow();

    QWidget& window_;
    Listener listener_;
    std::chrono::milliseconds delay_{500};
    QTimer delayTimer_;
    static constexpr std::chrono::milliseconds kShowEvery{50};
    QTimer showTimer_;  // the next turn of lists and progress that wait
    std::chrono::steady_clock::time_point lastShown_{};
    std::unique_ptr<ProgressWindow> progressWindow_;
    bool running_ = false;
    bool inWindowCall_ = false;
    std::function<void()> quitLoop_;
    std::atomic<bool> cancel_{false};

    // Shared between the threads, under mutex_.
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    // Reported before the calls queued with them, which come later.
    StringList filesFound_;
    StringList addressesAdded_;
    bool wakePending_ = false;
    bool progressChanged_ = false;
    // The latest state the worker reported; the window shows it at its next turn.
    RunProgressState latest_;
};

}  // namespace quill
