#include "widgets/error_box.hpp"

#include <QAbstractButton>
#include <QIcon>

namespace quill {

ErrorBox::ErrorBox(QWidget* owner, const QString& caption, const QString& text)
    : CopyingMessageBox(QMessageBox::Critical, caption, text, owner) {
    setObjectName(QStringLiteral("ErrorBox"));
    setStandardButtons(QMessageBox::Ok);
    setWindowModality(Qt::ApplicationModal);
    // The desktop's own box shows a plain "OK", without the style's button icon.
    button(QMessageBox::Ok)->setIcon(QIcon());
}

}  // namespace quill
