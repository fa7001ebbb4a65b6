#pragma once

#include "widgets/copying_message_box.hpp"

class QPushButton;

namespace quill {

// Every question of the program: "&Ja" and "&Nein" (J and N answer), "Nein"
// the default and Escape's answer; Ctrl+C copies its content.
class QuestionBox : public CopyingMessageBox {
    Q_OBJECT
public:
    QuestionBox(QWidget* parent, const QString& caption, const QString& text);

    QPushButton* yesButton() const { return yes_; }
    QPushButton* noButton() const { return no_; }
    // Whether "Ja" was the answer.
    bool answeredYes() const;

private:
    QPushButton* yes_;
    QPushButton* no_;
};

}  // namespace quill
