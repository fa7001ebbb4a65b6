#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "widgets/desktop.hpp"

namespace quill::test {

// A desktop that shows nothing: it records every call with its arguments and
// answers the dialogs from a script, so no test blocks on a modal window.
class DesktopFake : public Desktop {
public:
    struct MessageBoxCall {
        QString text;
        MessageKind kind;
        bool overModalWindow = false;  // another modal window was showing
        QString fullList{};            // the list the box can show whole
    };
    struct ErrorBoxCall {
        QString caption;
        QString text;
    };
    struct QuestionCall {
        QString caption;
        QString text;
        bool onWindowThread;  // a dialog from any other thread would be a fault
    };
    struct FolderCall {
        QString prompt;
        QString preselected;
    };

    void showMessageBox(QWidget* parent, const QString& text, MessageKind kind) override;
    void showListMessageBox(QWidget* parent, const QString& text, MessageKind kind, const QString& fullList) override;
    void showErrorBox(QWidget* owner, const QString& caption, const QString& text) override;
    QStringList chooseFiles(QWidget* parent) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& prompt, const QString& preselected) override;
    bool askQuestion(QWidget* parent, const QString& caption, const QString& text) override;
    OpenResult shellOpen(const QString& target) override;

    // Answers for the next dialogs, used in order; an unscripted dialog is cancelled.
    void scriptFiles(QStringList answer) { fileAnswers_.push_back(std::move(answer)); }
    void scriptFolder(std::optional<QString> answer) { folderAnswers_.push_back(std::move(answer)); }
    // true answers "Ja"; an unscripted question gets "Nein".
    void scriptQuestion(bool yes) { questionAnswers_.push_back(yes); }

    std::vector<MessageBoxCall> messageBoxes;
    std::vector<ErrorBoxCall> errorBoxes;
    int fileDialogs = 0;
    std::vector<FolderCall> folderDialogs;
    std::vector<QuestionCall> questions;
    QStringList shellOpens;    // every target handed over, opened or not
    QStringList unopenable;    // targets the desktop's opener gives up on
    QString unopenableReason;  // what it says then

private:
    std::deque<QStringList> fileAnswers_;
    std::deque<std::optional<QString>> folderAnswers_;
    std::deque<bool> questionAnswers_;
};

// Installs a fake (a fresh one unless given) for the lifetime of the object
// and puts the previous desktop back afterwards.
class InstalledDesktopFake {
public:
    explicit InstalledDesktopFake(std::unique_ptr<DesktopFake> fake = std::make_unique<DesktopFake>());
    ~InstalledDesktopFake();
    InstalledDesktopFake(const InstalledDesktopFake&) = delete;
    InstalledDesktopFake& operator=(const InstalledDesktopFake&) = delete;

    DesktopFake& operator*() const { return *fake_; }
    DesktopFake* operator->() const { return fake_; }

private:
    DesktopFake* fake_;
    std::unique_ptr<Desktop> previous_;
};

}  // namespace quill::test
