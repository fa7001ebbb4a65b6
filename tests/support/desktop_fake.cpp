#include "support/desktop_fake.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QThread>

namespace quill::test {

void DesktopFake::showMessageBox(QWidget*, const QString& text, MessageKind kind) {
    messageBoxes.push_back({text, kind, QApplication::activeModalWidget() != nullptr});
}

void DesktopFake::showListMessageBox(QWidget*, const QString& text, MessageKind kind, const QString& fullList) {
    messageBoxes.push_back({text, kind, QApplication::activeModalWidget() != nullptr, fullList});
}

void DesktopFake::showErrorBox(QWidget*, const QString& caption, const QString& text) {
    errorBoxes.push_back({caption, text});
}

QStringList DesktopFake::chooseFiles(QWidget*) {
    ++fileDialogs;
    if (fileAnswers_.empty()) return {};
    QStringList answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

std::optional<QString> DesktopFake::chooseFolder(QWidget*, const QString& prompt, const QString& preselected) {
    folderDialogs.push_back({prompt, preselected});
    if (folderAnswers_.empty()) return std::nullopt;
    const bool chosen = folderAnswers_.front().has_value();
    const QString folder = folderAnswers_.front().value_or(QString());
    folderAnswers_.pop_front();
    if (!chosen) return std::nullopt;
    return folder;
}

bool DesktopFake::askQuestion(QWidget*, const QString& caption, const QString& text) {
    questions.push_back({caption, text, QThread::currentThread() == QCoreApplication::instance()->thread()});
    if (questionAnswers_.empty()) return false;
    const bool yes = questionAnswers_.front();
    questionAnswers_.pop_front();
    return yes;
}

OpenResult DesktopFake::shellOpen(const QString& target) {
    shellOpens.push_back(target);
    if (unopenable.contains(target)) return {false, unopenableReason};
    return {true, {}};
}

InstalledDesktopFake::InstalledDesktopFake(std::unique_ptr<DesktopFake> fake) : fake_(fake.get()) {
    previous_ = installDesktop(std::move(fake));
}

InstalledDesktopFake::~InstalledDesktopFake() {
    installDesktop(std::move(previous_));
}

}  // namespace quill::test
