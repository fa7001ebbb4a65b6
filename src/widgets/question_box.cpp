#include "widgets/question_box.hpp"

#include <QPushButton>

namespace quill {

QuestionBox::QuestionBox(QWidget* parent, const QString& caption, const QString& text)
    : CopyingMessageBox(QMessageBox::Warning, caption, text, parent),
      yes_(addButton(QStringLiteral("&Ja"), QMessageBox::YesRole)),
      no_(addButton(QStringLiteral("&Nein"), QMessageBox::NoRole)) {
    setObjectName(QStringLiteral("QuestionBox"));
    // "Nein" is the safe answer, so it is the default and Escape gives it.
    setDefaultButton(no_);
    setEscapeButton(no_);
}

bool QuestionBox::answeredYes() const {
    return clickedButton() == yes_;
}

}  // namespace quill
