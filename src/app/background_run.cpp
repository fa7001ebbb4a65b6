#include "app/background_run.hpp"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>
#include <thread>

#include "app/progress_window.hpp"

namespace quill {

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

BackgroundRun::BackgroundRun(QWidget& window, Listener listener) : window_(window), listener_(std::move(listener)) {
    delayTimer_.setSingleShot(true);
    connect(&delayTimer_, &QTimer::timeout, this, &BackgroundRun::showProgressWindow);
    showTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, &BackgroundRun::drain);
}

BackgroundRun::~BackgroundRun() = default;

void BackgroundRun::run(const std::function<void()>& work) {
    running_ = true;
    cancel_ = false;
    {
        const std::lock_guard lock(mutex_);
        latest_ = {};
        progressChanged_ = false;
    }
    qApp->installEventFilter(this);
    delayTimer_.start(delay_);

    QEventLoop loop;
    bool finished = false;
    quitLoop_ = [&loop, &finished] {
        finished = true;
        loop.quit();
    };
    std::exception_ptr failure;
    std::thread worker([this, &work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // The last call queued: everything the work reported comes before it.
        post([this] { quitLoop_(); });
    });
    loop.exec();
    if (!finished) {
        // The application is ending: stop the work where it is safe to.
        requestCancel();
        while (!finished) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.join();

    delayTimer_.stop();
    showTimer_.stop();
    hideProgressWindow();
    progressWindow_.reset();
    qApp->removeEventFilter(this);
    quitLoop_ = nullptr;
    running_ = false;
    if (failure) std::rethrow_exception(failure);
}

void BackgroundRun::onWindowThread(const std::function<void()>& call) {
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    std::exception_ptr failure;
    post([&] {
        // A box the run shows stands alone; the progress window may come back after it.
        inWindowCall_ = true;
        delayTimer_.stop();
        hideProgressWindow();
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
        inWindowCall_ = false;
        delayTimer_.start(delay_);
        // Notified under the lock: once the worker sees done it returns, and
        // the signal on its stack is gone.
        const std::lock_guard lock(doneMutex);
        done = true;
        doneSignal.notify_one();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&done] { return done; });
    if (failure) std::rethrow_exception(failure);
}

void BackgroundRun::requestCancel() {
    cancel_ = true;
    if (progressWindow_) progressWindow_->showCancelling();
}

ProgressWindow* BackgroundRun::progressWindow() const {
    return progressWindow_ && progressWindow_->isVisible() ? progressWindow_.get() : nullptr;
}

void BackgroundRun::stepStarted(RunStep step, std::size_t total) {
    const std::lock_guard lock(mutex_);
    latest_ = {step, 0, total, {}};
    progressChanged_ = true;
    wakeLocked();
}

void BackgroundRun::progress(std::size_t done, std::size_t total, const std::string& current) {
    const std::lock_guard lock(mutex_);
    latest_ = {latest_.step, done, total, current};
    progressChanged_ = true;
    wakeLocked();
}

void BackgroundRun::itemProgress(std::uint64_t bytesDone, std::uint64_t bytesTotal) {
    const std::lock_guard lock(mutex_);
    latest_.bytesDone = bytesDone;
    latest_.bytesTotal = bytesTotal;
    progressChanged_ = true;
    wakeLocked();
}

void BackgroundRun::fileFound(const std::string& path) {
    const std::lock_guard lock(mutex_);
    filesFound_.push_back(path);
    wakeLocked();
}

void BackgroundRun::addressAdded(const std::string& foundText) {
    const std::lock_guard lock(mutex_);
    addressesAdded_.push_back(foundText);
    wakeLocked();
}

void BackgroundRun::post(std::function<void()> call) {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(call));
    // A call goes at once, also past lists and progress that wait for their turn.
    wakePending_ = true;
    QMetaObject::invokeMethod(this, &BackgroundRun::drain, Qt::QueuedConnection);
}

void BackgroundRun::wakeLocked() {
    // One wake-up at a time: a busy worker cannot flood the window's queue.
    if (wakePending_) return;
    wakePending_ = true;
    QMetaObject::invokeMethod(this, &BackgroundRun::drain, Qt::QueuedConnection);
}

void BackgroundRun::drain() {
    std::deque<std::function<void()>> calls;
    StringList files;
    StringList addresses;
    bool showProgress = false;
    RunProgressState latest;
    {
        const std::lock_guard lock(mutex_);
        const auto sinceShown = std::chrono::steady_clock::now() - lastShown_;
        if (queue_.empty() && sinceShown < kShowEvery) {
            // wakePending_ stays set: the worker queues no more meanwhile.
            if (wakePending_ && !showTimer_.isActive())
                showTimer_.start(std::chrono::ceil<std::chrono::milliseconds>(kShowEvery - sinceShown));
            return;
        }
        lastShown_ = std::chrono::steady_clock::now();
        calls.swap(queue_);
        files.swap(filesFound_);
        addresses.swap(addressesAdded_);
        wakePending_ = false;
        showProgress = progressChanged_;
        progressChanged_ = false;
        latest = latest_;
    }
    if (showProgress && progressWindow_) {
        progressWindow_->showProgress(latest);
        if (cancel_) progressWindow_->showCancelling();
    }
    // A call waits for the worker, which reported these before it queued it.
    if (!files.empty() && listener_.filesFound) listener_.filesFound(files);
    if (!addresses.empty() && listener_.addressesAdded) listener_.addressesAdded(addresses);
    for (auto& call : calls) call();
}

void BackgroundRun::showProgressWindow() {
    if (!running_ || inWindowCall_) return;
    if (!progressWindow_) {
        progressWindow_ = std::make_unique<ProgressWindow>(&window_);
        connect(progressWindow_.get(), &ProgressWindow::cancelRequested, this, &BackgroundRun::requestCancel);
    }
    {
        const std::lock_guard lock(mutex_);
        progressWindow_->showProgress(latest_);
    }
    if (cancel_) progressWindow_->showCancelling();
    progressWindow_->show();
}

void BackgroundRun::hideProgressWindow() {
    if (progressWindow_) progressWindow_->hide();
}

bool BackgroundRun::eventFilter(QObject* watched, QEvent* event) {
    if (isUserInput(event->type()) && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == &window_)
        return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace quill
