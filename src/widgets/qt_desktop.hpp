#pragma once

#include "widgets/desktop.hpp"

namespace quill {

// The real desktop: Qt's dialogs and the platform's document opener.
class QtDesktop : public Desktop {
public:
    void showMessageBox(QWidget* parent, const QString& text, MessageKind kind) override;
    void showListMessageBox(QWidget* parent, const QString& text, MessageKind kind, const QString& fullList) override;
    void showErrorBox(QWidget* owner, const QString& caption, const QString& text) override;
    QStringList chooseFiles(QWidget* parent) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& prompt, const QString& preselected) override;
    bool askQuestion(QWidget* parent, const QString& caption, const QString& text) override;
    OpenResult shellOpen(const QString& target) override;
};

}  // namespace quill
