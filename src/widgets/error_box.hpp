#pragma once

#include "widgets/copying_message_box.hpp"

namespace quill {

// The error box: stop icon, one "OK" button, the application title as
// caption; Ctrl+C copies its content.
class ErrorBox : public CopyingMessageBox {
    Q_OBJECT
public:
    ErrorBox(QWidget* owner, const QString& caption, const QString& text);
};

}  // namespace quill
