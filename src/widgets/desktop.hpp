#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace quill {

enum class MessageKind { Information, Error };

// Whether the desktop took a document or address, and if not, why, where it says.
struct OpenResult {
    bool opened = false;
    QString reason;  // empty when the desktop gave none
};

// Every modal or outside interaction of the program goes through here, so that
// tests can answer dialogs from a script instead of blocking on them.
class Desktop {
public:
    virtual ~Desktop() = default;

    // The program's message box: one "OK" button, modal.
    virtual void showMessageBox(QWidget* parent, const QString& text, MessageKind kind) = 0;
    // The same box for a text that shows only the start of a list: it can
    // show the whole list and copies it with Ctrl+C.
    virtual void showListMessageBox(QWidget* parent, const QString& text, MessageKind kind,
                                    const QString& fullList) = 0;
    // The application-wide error box: stop icon, the application title as caption.
    virtual void showErrorBox(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The file-open dialog with multiple selection; empty when cancelled.
    virtual QStringList chooseFiles(QWidget* parent) = 0;
    // The folder browser; nothing when cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& prompt, const QString& preselected) = 0;
    // A question with "Ja" and "Nein", modal; true for "Ja".
    virtual bool askQuestion(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Hands a document path, web address or "mailto:" address to the desktop;
    // not opened when it could not be handed over (a missing document, one the
    // desktop has no application for, an opener that gave up).
    virtual OpenResult shellOpen(const QString& target) = 0;
};

// The desktop in use: the real one unless a test installed another.
Desktop& desktop();
// Installs a desktop and returns the one it replaces.
std::unique_ptr<Desktop> installDesktop(std::unique_ptr<Desktop> replacement);

}  // namespace quill
